// Inputs built to hurt, as a careless or hostile world hands them over: a
// settings file of 430,000 one-key sections, a 200 MB UCS table of one line,
// a readme paragraph of 20,000 style toggles. Time per run, and the peak of
// resident memory above what the process held before (peak_mb; Linux resets
// the peak through /proc/self/clear_refs before each run).

#include "gui_bench_main.h"
#include "platform/ini_file.h"
#include "ucs/string_table.h"
#include "ucs/ucs_file.h"
#include "ui/rtf_reader.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

namespace {

qint64 StatusKb(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Peak resident memory of what runs between start() and the counter, in MB.
class PeakProbe {
public:
    void start() {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
        m_base = StatusKb("VmRSS:");
    }
    double peakMb() const { return double(StatusKb("VmHWM:") - m_base) / 1024.0; }

private:
    qint64 m_base = 0;
};

QTemporaryDir &Scratch() {
    static QTemporaryDir dir;
    return dir;
}

// [S0]..[S429999], one key each, with the settings' own two sections among them: 7.7 MB.
const QString &HugeSettings() {
    static const QString path = [] {
        QByteArray bytes;
        for (int i = 0; i < 430000; ++i) {
            bytes += "[Section" + QByteArray::number(i) + "]\r\nKey=" + QByteArray::number(i) + "\r\n";
            if (i == 1000)
                bytes += "[Main]\r\nTop=1\r\n";
        }
        const QString file = Scratch().filePath(QStringLiteral("Kestrelbench.ini"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write(bytes);
        return file;
    }();
    return path;
}

// What a start and a close do with the file: read the settings, then write them all and flush.
void BM_HugeSettingsStartAndClose(benchmark::State &state) {
    const QString path = HugeSettings();
    PeakProbe probe;
    double peak = 0;
    for (auto _ : state) {
        probe.start();
        {
            const IniFile ini(path);
            benchmark::DoNotOptimize(ini.ReadInteger(QStringLiteral("Main"), QStringLiteral("Top"), 0));
            benchmark::DoNotOptimize(
                ini.ReadString(QStringLiteral("Font"), QStringLiteral("Name"), QString()));
        }
        IniFile ini(path);
        for (const char *key :
             {"Maximized", "Top", "Left", "Width", "Height", "Grindle", "UCSPath", "LastFolder"})
            ini.WriteString(QStringLiteral("Main"), QString::fromLatin1(key), QStringLiteral("1"));
        for (const char *key :
             {"Name", "Size", "Charset", "Color", "Height", "Bold", "Italic", "Underline", "StrikeOut"})
            ini.WriteString(QStringLiteral("Font"), QString::fromLatin1(key), QStringLiteral("2"));
        ini.Flush();
        peak = qMax(peak, probe.peakMb());
    }
    state.counters["file_mb"] = double(QFile(path).size()) / 1e6;
    state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_HugeSettingsStartAndClose)->Unit(benchmark::kMillisecond)->Iterations(3);

// One line of 100 million characters: 200 MB on disk.
const QString &SingleLineUcs() {
    static const QString path = [] {
        const QString file = Scratch().filePath(QStringLiteral("one line.ucs"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) {
            out.write("\xFF\xFE", 2);
            QByteArray piece;
            for (int i = 0; i < (1 << 20); ++i)
                piece.append(i % 64 == 0 ? "1\0\t\0" : "x\0", i % 64 == 0 ? 4 : 2);
            for (qint64 written = 0; written < 200 * 1000 * 1000; written += piece.size())
                out.write(piece);
        }
        return file;
    }();
    return path;
}

void BM_UcsSingleLine200MbStreamed(benchmark::State &state) {
    PeakProbe probe;
    double peak = 0;
    for (auto _ : state) {
        probe.start();
        QStringList lines;
        ReadUcsFile(SingleLineUcs(), lines);
        benchmark::DoNotOptimize(lines);
        peak = qMax(peak, probe.peakMb());
    }
    state.counters["file_mb"] = double(QFile(SingleLineUcs()).size()) / 1e6;
    state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_UcsSingleLine200MbStreamed)->Unit(benchmark::kMillisecond)->Iterations(2);

// For comparison, the way tables were read before: the whole file, then decoded in one go.
void BM_UcsSingleLine200MbWhole(benchmark::State &state) {
    PeakProbe probe;
    double peak = 0;
    for (auto _ : state) {
        probe.start();
        QFile file(SingleLineUcs());
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const QStringList lines = DecodeUcsText(bytes);
        benchmark::DoNotOptimize(lines);
        peak = qMax(peak, probe.peakMb());
    }
    state.counters["peak_mb"] = peak;
}
BENCHMARK(BM_UcsSingleLine200MbWhole)->Unit(benchmark::kMillisecond)->Iterations(2);

// A readme paragraph of n alternating bold and normal runs, read into a shown view.
void BM_RtfStyleToggles(benchmark::State &state) {
    QByteArray rtf("{\\rtf1 ");
    for (int i = 0; i < state.range(0); ++i)
        rtf += (i % 2 ? "\\b0 r" : "\\b R") + QByteArray::number(i % 10) + ' ';
    rtf += "}";
    QTextEdit view;
    view.resize(600, 400);
    view.show();
    for (auto _ : state) {
        ReadRtf(rtf, view.document());
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RtfStyleToggles)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    return RunGuiBenchmarks(argc, argv);
}
