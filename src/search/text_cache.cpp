#include "search/text_cache.h"

#include "platform/cache_folder.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {
constexpr quint32 Magic = 0x4B425443; // "KBTC"
constexpr quint32 Version = 1;
const QString Suffix = QStringLiteral(".text");

// Makes the folders of path that are missing, each for its owner only: the texts are the user's,
// and the program's own folder in the cache must stay private for the single-instance channel
// that may live there.
bool MakePrivatePath(const QString &path) {
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !MakePrivatePath(parent))
        return false;
    return QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) ||
           QFileInfo(path).isDir();
}
} // namespace

FileStamp FileStamp::of(const QString &path) {
    const QFileInfo info(path);
    FileStamp stamp;
    stamp.path = info.absoluteFilePath();
    if (info.isFile()) {
        stamp.size = info.size();
        stamp.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    }
    return stamp;
}

TextCache::TextCache(const QString &folder, qint64 limit) : m_folder(folder), m_limit(limit) {}

QString TextCache::defaultFolder() {
    return QDir(CacheFolder()).filePath(QStringLiteral("converted"));
}

QString TextCache::entryPath(const QString &sourcePath) const {
    const QByteArray hash = QCryptographicHash::hash(sourcePath.toUtf8(), QCryptographicHash::Sha1).toHex();
    return m_folder + QLatin1Char('/') + QString::fromLatin1(hash) + Suffix;
}

std::optional<QByteArray> TextCache::find(const FileStamp &file) {
    if (!file.exists())
        return std::nullopt;
    QFile entry(entryPath(file.path));
    if (!entry.open(QIODevice::ReadOnly))
        return std::nullopt;
    QDataStream in(&entry);
    quint32 magic = 0, version = 0;
    QString path;
    qint64 size = -1, modified = 0;
    bool compressed = false;
    QByteArray payload;
    in >> magic >> version;
    if (magic != Magic || version != Version)
        return std::nullopt;
    in >> path >> size >> modified >> compressed;
    if (in.status() != QDataStream::Ok || path != file.path || size != file.size ||
        modified != file.modifiedMs)
        return std::nullopt;
    in >> payload;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    entry.close();
    // Used now: the last to go when room is needed.
    if (entry.open(QIODevice::ReadWrite | QIODevice::ExistingOnly)) {
        entry.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
        entry.close();
    }
    if (!compressed)
        return payload;
    QByteArray text = qUncompress(payload);
    if (text.isEmpty() && !payload.isEmpty())
        return std::nullopt; // damaged
    return text;
}

bool TextCache::store(const FileStamp &file, const QByteArray &text) {
    if (!file.exists())
        return false;
    QByteArray payload = qCompress(text, 1);
    const bool compressed = payload.size() < text.size() - text.size() / 10;
    if (!compressed)
        payload = text;
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << Magic << Version << file.path << file.size << file.modifiedMs << compressed << payload;
    }
    if (bytes.size() > m_limit)
        return false;
    const QString path = entryPath(file.path);
    QMutexLocker lock(&m_mutex);
    countOnce();
    const qint64 replaced = QFileInfo(path).isFile() ? QFileInfo(path).size() : 0;
    m_bytes -= replaced;
    makeRoom(bytes.size(), path);
    if (!MakePrivatePath(m_folder))
        return false;
    QSaveFile save(path);
    if (!save.open(QIODevice::WriteOnly) || save.write(bytes) != bytes.size() || !save.commit()) {
        m_bytes += QFileInfo(path).isFile() ? QFileInfo(path).size() : 0;
        return false;
    }
    m_bytes += bytes.size();
    return true;
}

qint64 TextCache::bytes() {
    QMutexLocker lock(&m_mutex);
    countOnce();
    return m_bytes;
}

void TextCache::countOnce() {
    if (m_bytes >= 0)
        return;
    m_bytes = 0;
    QDirIterator it(m_folder, {QLatin1Char('*') + Suffix}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        m_bytes += it.fileInfo().size();
    }
}

void TextCache::makeRoom(qint64 needed, const QString &keep) {
    if (m_bytes + needed <= m_limit)
        return;
    struct Entry {
        QString path;
        qint64 size;
        QDateTime used;
    };
    std::vector<Entry> entries;
    QDirIterator it(m_folder, {QLatin1Char('*') + Suffix}, QDir::Files);
    m_bytes = 0;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.absoluteFilePath() == QFileInfo(keep).absoluteFilePath())
            continue;
        entries.push_back({info.absoluteFilePath(), info.size(), info.lastModified()});
        m_bytes += info.size();
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.used < b.used; });
    for (const Entry &entry : entries) {
        if (m_bytes + needed <= m_limit)
            break;
        if (QFile::remove(entry.path))
            m_bytes -= entry.size;
    }
}
