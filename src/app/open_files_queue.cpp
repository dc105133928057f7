#include "app/open_files_queue.h"

#include <QByteArray>

#include <utility>

namespace {
const QString Separator = QStringLiteral("||");
}

void OpenFilesQueue::append(const QString &path) {
    m_entries.append(path);
    AppendToOpenFilesQueue(path);
}

QStringList OpenFilesQueue::take() {
    WriteOpenFilesQueue(QString());
    return std::exchange(m_entries, QStringList());
}

QString ReadOpenFilesQueue() {
    return QString::fromUtf8(qgetenv(OpenFilesQueueVariable));
}

void WriteOpenFilesQueue(const QString &value) {
    qputenv(OpenFilesQueueVariable, value.toUtf8());
}

void AppendToOpenFilesQueue(const QString &path) {
    WriteOpenFilesQueue(ReadOpenFilesQueue() + path + Separator);
}

QStringList SplitOpenFilesQueue(const QString &value) {
    // Split at the separator itself rather than at line breaks: a POSIX file
    // name may hold a line break.
    QStringList entries = value.split(Separator);
    if (!entries.isEmpty() && entries.last().isEmpty())
        entries.removeLast();
    return entries;
}
