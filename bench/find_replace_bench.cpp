// Find and replace all on a 1,000,000-line converted text: the buffer scan alone, and the editor
// operations that FindDFind and the Replace All button run (a find that misses searches twice).

#include "editor/page_editor.h"
#include "editor/text_search.h"
#include "gui_bench_main.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 1'000'000;

// About 21 MB, shaped like a converted RBF text: nested keys, values, a frequent key "speed".
const QString &bigText() {
    static const QString text = [] {
        QString t;
        t.reserve(kLines * 22);
        for (int i = 0; i < kLines; ++i) {
            switch (i % 4) {
            case 0:
                t += QStringLiteral("unit%1:\r\n").arg(i);
                break;
            case 1:
                t += QStringLiteral("| speed: %1.5;\r\n").arg(i % 97);
                break;
            case 2:
                t += QStringLiteral("| name: \"Kestrel %1\";\r\n").arg(i % 13);
                break;
            default:
                t += QStringLiteral("| | armour: %1;\r\n").arg(i % 31);
                break;
            }
        }
        return t;
    }();
    return text;
}

PageEditor &bigEditor() {
    static PageEditor *editor = [] {
        auto *e = new PageEditor;
        e->setText8(bigText());
        return e;
    }();
    return *editor;
}

long residentKb() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

void ScanMiss(benchmark::State &state) {
    const QByteArray utf8 = bigText().toUtf8();
    const TextSearch search(QStringLiteral("Not there"), state.range(0) != 0, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(search.find(utf8.constData(), utf8.size(), 0));
    state.SetBytesProcessed(state.iterations() * utf8.size());
}
BENCHMARK(ScanMiss)->ArgName("matchCase")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a find that misses does: from the caret to the end, then once more from the start.
void EditorFindMissWithWrapAround(benchmark::State &state) {
    PageEditor &editor = bigEditor();
    const bool matchCase = state.range(0) != 0;
    const bool wholeWord = state.range(1) != 0;
    editor.setCaret(0, kLines / 2);
    const int from = editor.selectionStart();
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.findText8(QStringLiteral("Not there"), from, matchCase, wholeWord));
        benchmark::DoNotOptimize(editor.findText8(QStringLiteral("Not there"), 0, matchCase, wholeWord));
    }
}
BENCHMARK(EditorFindMissWithWrapAround)
    ->ArgNames({"matchCase", "wholeWord"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond);

// A find that hits near the end of the text, with the positions counted in characters.
void EditorFindNearTheEnd(benchmark::State &state) {
    PageEditor &editor = bigEditor();
    const QString key = QStringLiteral("UNIT%1:").arg(kLines - 4); // on the fourth line from the end
    for (auto _ : state) {
        if (editor.findText8(key, 0, false, false) < 0)
            state.SkipWithError("the key is missing");
    }
}
BENCHMARK(EditorFindNearTheEnd)->Unit(benchmark::kMillisecond);

// Replace All of a word on every fourth line (250,000 occurrences), as one undoable edit. The
// undo buffer keeps the old text: its cost shows as resident memory per run.
void EditorReplaceAllFrequentWord(benchmark::State &state) {
    PageEditor &editor = bigEditor();
    const bool matchCase = state.range(0) != 0;
    long grownKb = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.setText8(bigText());
        const long before = residentKb();
        state.ResumeTiming();
        editor.replaceAll8(QStringLiteral("speed"), QStringLiteral("velocity"), matchCase);
        state.PauseTiming();
        grownKb = residentKb() - before;
        editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        state.ResumeTiming();
    }
    state.counters["undoAndTextGrowthMB"] = static_cast<double>(grownKb) / 1024.0;
}
BENCHMARK(EditorReplaceAllFrequentWord)->ArgName("matchCase")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return RunGuiBenchmarks(argc, argv);
}
