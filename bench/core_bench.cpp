// Speed of the GUI-free core over large inputs: the line grammar, the tree
// build, UCS decoding and lookup, and the settings file.

#include "core_inputs.h"
#include "platform/cp1252.h"
#include "platform/ini_file.h"
#include "tree/line_grammar.h"
#include "tree/line_splitter.h"
#include "tree/structure_tree.h"
#include "ucs/string_table.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

#include <benchmark/benchmark.h>

namespace {

constexpr int kTextLines = 1000000;
constexpr int kUcsLines = 500000;

const QStringList &Text() {
    static const QStringList lines = GenerateConvertedText(kTextLines);
    return lines;
}

qint64 TextBytes() {
    static const qint64 bytes = [] {
        qint64 total = 0;
        for (const QString &line : Text())
            total += line.size() + 2; // one byte per character and a CR LF in the file
        return total;
    }();
    return bytes;
}

// The same text as the editor holds it: one UTF-8 buffer with CR LF, and a view of each line.
struct Utf8Text {
    QByteArray buffer;
    std::vector<QByteArrayView> lines;
};

const Utf8Text &TextUtf8() {
    static const Utf8Text text = [] {
        Utf8Text t;
        t.buffer = Text().join(QStringLiteral("\r\n")).toUtf8();
        qsizetype start = 0;
        while (start <= t.buffer.size()) {
            qsizetype end = t.buffer.indexOf("\r\n", start);
            if (end < 0)
                end = t.buffer.size();
            t.lines.emplace_back(t.buffer.constData() + start, end - start);
            start = end + 2;
        }
        return t;
    }();
    return text;
}

const QByteArray &TextCp1252() {
    static const QByteArray bytes = EncodeCp1252(Text().join(QStringLiteral("\r\n")));
    return bytes;
}

const QByteArray &UcsFile() {
    static const QByteArray bytes = GenerateUcsFile(kUcsLines);
    return bytes;
}

template <typename F> void OverText(benchmark::State &state, F lineFunction) {
    const QStringList &lines = Text();
    for (auto _ : state) {
        for (const QString &line : lines)
            benchmark::DoNotOptimize(lineFunction(line));
    }
    state.SetBytesProcessed(state.iterations() * TextBytes());
    state.SetItemsProcessed(state.iterations() * lines.size());
}

void BM_LineDepth(benchmark::State &state) {
    OverText(state, [](const QString &line) { return LineDepth(line); });
}
BENCHMARK(BM_LineDepth)->Unit(benchmark::kMillisecond);

void BM_LineKey(benchmark::State &state) {
    OverText(state, [](const QString &line) { return LineKey(line); });
}
BENCHMARK(BM_LineKey)->Unit(benchmark::kMillisecond);

void BM_IsValueLine(benchmark::State &state) {
    OverText(state, [](const QString &line) { return IsValueLine(line); });
}
BENCHMARK(BM_IsValueLine)->Unit(benchmark::kMillisecond);

void BM_SplitKeyValue(benchmark::State &state) {
    OverText(state, [](const QString &line) { return SplitKeyValue(line); });
}
BENCHMARK(BM_SplitKeyValue)->Unit(benchmark::kMillisecond);

template <typename F> void OverTextUtf8(benchmark::State &state, F lineFunction) {
    const Utf8Text &text = TextUtf8();
    for (auto _ : state) {
        for (const QByteArrayView line : text.lines)
            benchmark::DoNotOptimize(lineFunction(line));
    }
    state.SetBytesProcessed(state.iterations() * text.buffer.size());
    state.SetItemsProcessed(state.iterations() * static_cast<qint64>(text.lines.size()));
}

// The forms over UTF-8 bytes that the window's tree build uses.
void BM_LineDepthUtf8(benchmark::State &state) {
    OverTextUtf8(state, [](QByteArrayView line) { return LineDepthUtf8(line); });
}
BENCHMARK(BM_LineDepthUtf8)->Unit(benchmark::kMillisecond);

void BM_LineKeyUtf8(benchmark::State &state) {
    QByteArray key;
    OverTextUtf8(state, [&key](QByteArrayView line) {
        LineKeyUtf8(line, key);
        return key.size();
    });
}
BENCHMARK(BM_LineKeyUtf8)->Unit(benchmark::kMillisecond);

void BM_IsValueLineUtf8(benchmark::State &state) {
    OverTextUtf8(state, [](QByteArrayView line) { return IsValueLineUtf8(line); });
}
BENCHMARK(BM_IsValueLineUtf8)->Unit(benchmark::kMillisecond);

void BM_BuildStructureTree(benchmark::State &state) {
    const QStringList &lines = Text();
    int nodes = 0;
    for (auto _ : state) {
        const StructureTree tree = BuildStructureTree(lines);
        nodes = tree.nodeCount();
        benchmark::DoNotOptimize(nodes);
    }
    state.SetBytesProcessed(state.iterations() * TextBytes());
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_BuildStructureTree)->Unit(benchmark::kMillisecond);

// The window's route: the lines of the editor's UTF-8 buffer into the builder, node texts shared.
void BM_BuildStructureTreeUtf8(benchmark::State &state) {
    const Utf8Text &text = TextUtf8();
    int nodes = 0;
    for (auto _ : state) {
        StructureTreeBuilder builder;
        for (size_t i = 0; i < text.lines.size(); ++i)
            builder.addLineUtf8(static_cast<int>(i), text.lines[i]);
        const StructureTree tree = builder.finish();
        nodes = tree.nodeCount();
        benchmark::DoNotOptimize(nodes);
    }
    state.SetBytesProcessed(state.iterations() * text.buffer.size());
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_BuildStructureTreeUtf8)->Unit(benchmark::kMillisecond);

// The window's build over a buffer split as the editor splits it (LineSplitter), by break style:
// 400,000 lines with CR alone (which once searched the rest of the text for an LF at every line),
// LF, and CR LF.
void BM_SplitAndBuild400k(benchmark::State &state) {
    static const char *const breaks[] = {"\r", "\n", "\r\n"};
    const QByteArray lineBreak(breaks[state.range(0)]);
    QByteArray text;
    for (qsizetype i = 0; i < 400000 / 4; ++i)
        text += "| unit: {" + lineBreak + "| | health: 100;" + lineBreak + "| | name: \"Rail gun\";" +
                lineBreak + "| }" + lineBreak;
    for (auto _ : state) {
        StructureTreeBuilder builder;
        LineSplitter splitter(text);
        QByteArrayView line;
        for (int i = 0; splitter.next(line); ++i)
            builder.addLineUtf8(i, line);
        benchmark::DoNotOptimize(builder.finish().nodeCount());
    }
    state.SetLabel(state.range(0) == 0 ? "CR" : state.range(0) == 1 ? "LF" : "CR LF");
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_SplitAndBuild400k)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Every line read through a function and a callback after it (the route of a caller that has
// lines one by one).
void BM_BuildStructureTreeWithCallbacks(benchmark::State &state) {
    const QStringList &lines = Text();
    int pumps = 0;
    for (auto _ : state) {
        const StructureTree tree = BuildStructureTree(
            static_cast<int>(lines.size()), [&lines](int i) { return lines.at(i); },
            [&pumps](int i) {
                if (i % 100 == 0)
                    ++pumps;
            });
        benchmark::DoNotOptimize(tree.nodeCount());
    }
    benchmark::DoNotOptimize(pumps);
    state.SetBytesProcessed(state.iterations() * TextBytes());
}
BENCHMARK(BM_BuildStructureTreeWithCallbacks)->Unit(benchmark::kMillisecond);

// The editor's load and save: file bytes to its UTF-8 buffer and back, without a QString.
void BM_Cp1252ToUtf8(benchmark::State &state) {
    const QByteArray &bytes = TextCp1252();
    QByteArray utf8;
    for (auto _ : state) {
        utf8.clear();
        AppendCp1252AsUtf8(bytes.constData(), bytes.size(), utf8);
        benchmark::DoNotOptimize(utf8.size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Cp1252ToUtf8)->Unit(benchmark::kMillisecond);

void BM_Utf8ToCp1252(benchmark::State &state) {
    const QByteArray &utf8 = TextUtf8().buffer;
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        AppendUtf8AsCp1252(utf8.constData(), utf8.size(), bytes);
        benchmark::DoNotOptimize(bytes.size());
    }
    state.SetBytesProcessed(state.iterations() * utf8.size());
}
BENCHMARK(BM_Utf8ToCp1252)->Unit(benchmark::kMillisecond);

void BM_DecodeUcsText(benchmark::State &state) {
    const QByteArray &bytes = UcsFile();
    qsizetype lines = 0;
    for (auto _ : state) {
        const QStringList decoded = DecodeUcsText(bytes);
        lines = decoded.size();
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DecodeUcsText)->Unit(benchmark::kMillisecond);

// The worst case: a number no line defines, so every line is scanned.
void BM_LookupNumberMiss(benchmark::State &state) {
    const QStringList lines = DecodeUcsText(UcsFile());
    const QString number = QStringLiteral("100000999"); // shares its first digits with every key
    for (auto _ : state) {
        bool found = true;
        benchmark::DoNotOptimize(LookupNumber(lines, number, found, [](int) {}));
        if (found)
            state.SkipWithError("unexpected match");
    }
    state.SetItemsProcessed(state.iterations() * lines.size());
}
BENCHMARK(BM_LookupNumberMiss)->Unit(benchmark::kMillisecond);

class IniInput {
public:
    IniInput() {
        path = dir.filePath(QStringLiteral("large.ini"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(GenerateIniFile(2000, 100));
    }
    QTemporaryDir dir;
    QString path;
};

const IniInput &Ini() {
    static const IniInput input;
    return input;
}

// Loading a settings file of 2,000 sections with 100 keys each (202,000 lines).
void BM_IniLoad(benchmark::State &state) {
    const QString &path = Ini().path;
    for (auto _ : state) {
        const IniFile ini(path);
        benchmark::DoNotOptimize(
            ini.ReadString(QStringLiteral("Section1999"), QStringLiteral("Key99"), QString()));
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_IniLoad)->Unit(benchmark::kMillisecond);

// Typed reads from the loaded file: quoted values, case-insensitive names.
void BM_IniReads(benchmark::State &state) {
    const IniFile ini(Ini().path);
    const QString section = QStringLiteral("SECTION1000");
    QStringList keys;
    for (int k = 0; k < 100; ++k)
        keys << QStringLiteral("key%1").arg(k);
    for (auto _ : state) {
        for (const QString &key : keys)
            benchmark::DoNotOptimize(ini.ReadString(section, key, QString()));
    }
    state.SetItemsProcessed(state.iterations() * keys.size());
}
BENCHMARK(BM_IniReads);

} // namespace

BENCHMARK_MAIN();
