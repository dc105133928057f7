#include "converter/converter_log.h"

#include "converter/run_converter.h"
#include "platform/state_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Lines of output that an entry keeps from the start and from the end of each stream.
constexpr int EndLines = 5;
// A line printed without end would make one entry fill the log.
constexpr int MaxLineLength = 300;

QString Shortened(const QString &line) {
    return line.size() > MaxLineLength ? line.left(MaxLineLength) + QStringLiteral("...") : line;
}

void AppendStream(QStringList &entry, const char *name, const CapturedStream &stream, bool throughWine) {
    QStringList lines = stream.lines();
    if (throughWine)
        lines = WithoutWineDiagnostics(lines);
    const QString label = QString::fromLatin1(name);
    if (lines.isEmpty() && stream.dropped == 0)
        return;
    entry << QStringLiteral("  %1: %2 lines%3")
                 .arg(label)
                 .arg(lines.size())
                 .arg(stream.dropped > 0 ? QStringLiteral(", %1 more bytes dropped").arg(stream.dropped)
                                         : QString());
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        if (i == EndLines && count > 2 * EndLines) {
            entry << QStringLiteral("    ...");
            i = count - EndLines;
        }
        entry << QStringLiteral("    ") + Shortened(lines.at(i));
    }
}

QString EndOf(const ConverterRun &run) {
    switch (run.end) {
    case ConverterRun::End::Exited:
        return QStringLiteral("exit code %1").arg(run.exitCode);
    case ConverterRun::End::Signalled:
        return QStringLiteral("signal %1").arg(run.signal);
    case ConverterRun::End::NotStarted:
        return run.refusal.isEmpty() ? QStringLiteral("not started")
                                     : QStringLiteral("refused: ") + run.refusal;
    case ConverterRun::End::Stopped:
        return QStringLiteral("stopped by the user");
    case ConverterRun::End::Abandoned:
        return QStringLiteral("still running when the wait ended");
    }
    return QString();
}

} // namespace

QString ConverterLogPath() {
    return QDir(StateFolder()).filePath(QStringLiteral("converter.log"));
}

QByteArray ConverterLogEntry(const ConverterRun &run, const QDateTime &when) {
    QStringList entry;
    entry << when.toUTC().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + run.commandLine();
    if (!run.workingFolder.isEmpty())
        entry << QStringLiteral("  folder: ") + run.workingFolder;
    entry << QStringLiteral("  ended: %1 after %2 ms").arg(EndOf(run)).arg(run.runMs);
    AppendStream(entry, "stdout", run.standardOutput, run.throughWine);
    AppendStream(entry, "stderr", run.standardError, run.throughWine);
    return (entry.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

bool AppendToConverterLog(const QString &path, const QByteArray &entry, qint64 maxBytes) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    if (info.exists() && info.size() + entry.size() >= maxBytes) {
        const QString older = path + QStringLiteral(".1");
        QFile::remove(older);
        // Should the rename fail, the file is started again rather than grown past the limit.
        if (!QFile::rename(path, older))
            QFile::remove(path);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    // An entry larger than the limit on its own is cut, so that the file stays under it.
    const QByteArray kept = entry.size() < maxBytes ? entry : entry.left(maxBytes - 1);
    return file.write(kept) == kept.size();
}

void LogConverterRun(const ConverterRun &run) {
    AppendToConverterLog(ConverterLogPath(), ConverterLogEntry(run, QDateTime::currentDateTimeUtc()));
}
