// What the page editor's paint costs with each part of the structure view (highlighting, folding,
// line numbers) on or off, over a 1,000,000-line converted text: a whole repaint of the view, one
// line scrolled (the caret moving past the bottom), the caret moved inside the view, and a jump
// far away (a node selected from the tree). Processor time of the thread, so that a busy machine
// shows less in the figures; the argument is the view: bit 0 highlighting, bit 1 folding, bit 2
// line numbers.

#include "core_inputs.h"
#include "editor/page_editor.h"
#include "gui_bench_main.h"
#include "highlight/structure_view.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 1'000'000;

PageEditor &bigEditor() {
    static PageEditor *editor = [] {
        auto *e = new PageEditor;
        e->setText8(GenerateConvertedText(kLines).join(QLatin1Char('\n')));
        e->resize(764, 764);
        e->show();
        new StructureView(e);
        QApplication::processEvents();
        return e;
    }();
    return *editor;
}

PageEditor &editorFor(const benchmark::State &state) {
    PageEditor &e = bigEditor();
    const int bits = static_cast<int>(state.range(0));
    StructureView::of(&e)->apply({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0});
    QApplication::processEvents();
    return e;
}

void Settle(PageEditor &e) {
    e.viewport()->repaint();
    QApplication::processEvents();
}

void Repaint(benchmark::State &state) {
    PageEditor &e = editorFor(state);
    e.setCaret(0, kLines - 400);
    Settle(e);
    for (auto _ : state)
        e.viewport()->repaint();
}

// The caret one line down from the last line of the view: the view scrolls by one line.
void ScrollLine(benchmark::State &state) {
    PageEditor &e = editorFor(state);
    const int start = kLines - 2000;
    e.setCaret(0, start);
    e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(start - 40));
    Settle(e);
    for (auto _ : state) {
        e.SendScintilla(QsciScintillaBase::SCI_LINEDOWN);
        e.viewport()->repaint();
    }
}

// The caret one line down inside the view.
void CaretDown(benchmark::State &state) {
    PageEditor &e = editorFor(state);
    const int top = kLines - 1000;
    e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(top));
    e.setCaret(0, top);
    Settle(e);
    int line = top;
    for (auto _ : state) {
        if (++line > top + 30) {
            state.PauseTiming();
            line = top;
            e.setCaret(0, top);
            Settle(e);
            state.ResumeTiming();
        }
        e.SendScintilla(QsciScintillaBase::SCI_LINEDOWN);
        QApplication::processEvents();
    }
}

// A line 40 lines further brought to the top with the caret on it, as a node selection does.
void Jump(benchmark::State &state) {
    PageEditor &e = editorFor(state);
    int line = kLines - 5000;
    e.setCaret(0, line);
    Settle(e);
    for (auto _ : state) {
        line = line + 40 < kLines - 100 ? line + 40 : kLines - 5000;
        e.setCaret(0, line);
        e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(line));
        e.viewport()->repaint();
    }
}

// 0: plain; 1: highlighting; 2: folding; 4: line numbers; 7: all (the default).
void Views(benchmark::internal::Benchmark *b) {
    for (const int bits : {0, 1, 2, 4, 7})
        b->Arg(bits);
    b->Unit(benchmark::kMicrosecond);
}

} // namespace

BENCHMARK(Repaint)->Apply(Views);
BENCHMARK(ScrollLine)->Apply(Views);
BENCHMARK(CaretDown)->Apply(Views);
BENCHMARK(Jump)->Apply(Views);

int main(int argc, char **argv) {
    return RunGuiBenchmarks(argc, argv, [] { delete &bigEditor(); });
}
