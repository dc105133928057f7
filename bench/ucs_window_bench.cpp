// The UCS tables in the real window with a 500,000-line table: the reload that loads it (read,
// decode, append) and the lookup of a selected number through the window's scan, which lets
// events run every 100 lines.

#include "app/main_window.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "gui_bench_main.h"
#include "support/scripted_dialogs.h"
#include "ucs/ucs_list.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 500'000;
constexpr int kFirstKey = 100000;

struct Setup {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TFormMain> window;
    PageEditor *editor = nullptr;

    Setup() {
        QByteArray bytes("\xFF\xFE", 2);
        QString text;
        for (int i = 0; i < kLines; ++i)
            text +=
                QStringLiteral("%1\tString %1 of the game, with some words after it\r\n").arg(kFirstKey + i);
        bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        const QString path = dir.path() + QStringLiteral("/big.ucs");
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        // Recovery files of the user's own sessions are none of the benchmark's business.
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path() + QStringLiteral("/state")));
        TFormMain::Options options;
        options.exeDir = dir.path();
        options.dialogs = &dialogs;
        window = std::make_unique<TFormMain>(options);
        UcsList::AddEntry(window->CBUCS, path);
        auto *page = new Page(dir.path() + QStringLiteral("/x.rbf"));
        window->PC->addTab(page, QStringLiteral("x.rbf"));
        editor = page->editor();
        editor->setText8(QStringLiteral("%1 %2\r\n").arg(kFirstKey + kLines - 1).arg(999));
        SelectPageContext(window->context(), window->PC, 0);
    }
};

Setup &setup() {
    static Setup s;
    return s;
}

// The longest stretch without a pass of the event loop, measured by a 0 ms timer that re-arms itself.
class StallProbe {
public:
    StallProbe() {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart()); });
    }
    void start() {
        m_longest = 0;
        m_since.start();
        m_timer.start();
    }
    qint64 stop() {
        m_longest = std::max(m_longest, m_since.elapsed());
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

void ReloadStringTables(benchmark::State &state) {
    Setup &s = setup();
    StallProbe probe;
    qint64 longestStallMs = 0;
    for (auto _ : state) {
        probe.start();
        s.window->ucsList().ReloadStringTables();
        longestStallMs = std::max(longestStallMs, probe.stop());
    }
    state.counters["lines"] = static_cast<double>(s.window->StringTableLines.size());
    state.counters["longestStallMs"] = static_cast<double>(longestStallMs);
}
BENCHMARK(ReloadStringTables)->Unit(benchmark::kMillisecond);

// The key on the last line: the whole table is scanned.
void LookupLastLine(benchmark::State &state) {
    Setup &s = setup();
    if (s.window->StringTableLines.isEmpty())
        s.window->ucsList().ReloadStringTables();
    StallProbe probe;
    qint64 longestStallMs = 0;
    for (auto _ : state) {
        probe.start();
        s.editor->setSelectionStart(0);
        s.editor->setSelectionLength(6);
        s.window->ucsList().LookupSelectedNumber();
        longestStallMs = std::max(longestStallMs, probe.stop());
    }
    state.counters["longestStallMs"] = static_cast<double>(longestStallMs);
}
BENCHMARK(LookupLastLine)->Unit(benchmark::kMillisecond);

// A number no line defines.
void LookupMiss(benchmark::State &state) {
    Setup &s = setup();
    if (s.window->StringTableLines.isEmpty())
        s.window->ucsList().ReloadStringTables();
    for (auto _ : state) {
        s.editor->setSelectionStart(7);
        s.editor->setSelectionLength(3);
        s.window->ucsList().LookupSelectedNumber();
    }
}
BENCHMARK(LookupMiss)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return RunGuiBenchmarks(argc, argv, [] { setup().window.reset(); });
}
