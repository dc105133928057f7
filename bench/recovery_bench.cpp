// The recovery write of a 1,000,000-line page in the real window: what the UI thread spends on
// it (the copy of the editor's text), and the longest the event loop waits while the copy is
// converted and written on the writing thread.

#include "document/document_controller.h"
#include "document/document_fixture.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "gui_bench_main.h"
#include "recovery/recovery_controller.h"
#include "support/event_gap_probe.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kLines = 1'000'000;

struct Setup {
    std::unique_ptr<DocumentFixture> f;
    Page *page = nullptr;
};

Setup &setup() {
    static Setup s = [] {
        Setup made;
        made.f = std::make_unique<DocumentFixture>();
        QByteArray text = "unit\r\n{\r\n";
        text.reserve(kLines * 22);
        for (int i = 2; i < kLines - 1; ++i)
            text += (i % 3 == 0 ? "| speed: " : "| | name: \"Kestrel \xe4 ") + QByteArray::number(i % 97) +
                    ";\r\n";
        text += "}\r\n";
        made.f->open(made.f->writeRbf(QStringLiteral("big"), text));
        made.page = made.f->page(0);
        // The timers stay out of the way: each iteration writes when it asks.
        made.f->window().recovery().PauseMs = 1000 * 1000;
        made.f->window().recovery().LongestMs = 1000 * 1000;
        return made;
    }();
    return s;
}

// A letter typed in the middle of the text, so that the copy has to close the editor's gap there.
void TypeInTheMiddle(PageEditor *editor) {
    editor->setCaret(3, kLines / 2);
    editor->replaceSelection(QStringLiteral("x"));
}

void RecoverySnapshotUiThread(benchmark::State &state) {
    Setup &s = setup();
    RecoveryController &recovery = s.f->window().recovery();
    for (auto _ : state) {
        state.PauseTiming();
        TypeInTheMiddle(s.page->editor());
        state.ResumeTiming();
        recovery.WritePage(s.page);
        state.PauseTiming();
        recovery.waitForWrites();
        state.ResumeTiming();
    }
}
BENCHMARK(RecoverySnapshotUiThread)->Unit(benchmark::kMillisecond);

void RecoveryWriteEventGap(benchmark::State &state) {
    Setup &s = setup();
    RecoveryController &recovery = s.f->window().recovery();
    EventGapProbe probe;
    double longestGapMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TypeInTheMiddle(s.page->editor());
        state.ResumeTiming();
        probe.start();
        recovery.WritePage(s.page);
        while (recovery.writesUnderWay() > 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        longestGapMs = std::max(longestGapMs, probe.stop());
    }
    state.counters["event_gap_ms"] = longestGapMs;
}
BENCHMARK(RecoveryWriteEventGap)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return RunGuiBenchmarks(argc, argv, [] { setup().f.reset(); });
}
