#pragma once
// The converted texts of earlier searches, so that a second search of a folder needs no
// converter. One entry per RBF file, named after its full path and holding the file's size and
// modification time: an entry counts only while the file still has both, and a changed file's new
// text replaces it. Texts are compressed when that saves at least a tenth. The entries together
// stay under a limit: when a new one would pass it, the least recently used ones go first.
//
// Entries are written whole (a temporary file, then a rename), so a reader never sees half of
// one. Several threads may use one cache at once.

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <optional>

// A file as the cache knows it.
struct FileStamp {
    QString path; // absolute
    qint64 size = -1;
    qint64 modifiedMs = 0;
    bool exists() const { return size >= 0; }
    static FileStamp of(const QString &path);
};

class TextCache {
public:
    static constexpr qint64 DefaultLimit = qint64(500) * 1024 * 1024;

    // The cache in folder (created when the first entry is stored), holding at most limit bytes.
    explicit TextCache(const QString &folder, qint64 limit = DefaultLimit);
    // CacheFolder()/converted.
    static QString defaultFolder();

    // The text of the file as stamped, when an entry for it is there.
    std::optional<QByteArray> find(const FileStamp &file);
    // Keeps the text of the file as stamped. False when it could not be written (the search goes
    // on without it).
    bool store(const FileStamp &file, const QByteArray &text);
    // The bytes that the entries take on disk.
    qint64 bytes();
    QString folder() const { return m_folder; }

private:
    QString entryPath(const QString &sourcePath) const;
    void countOnce();
    void makeRoom(qint64 needed, const QString &keep);

    QString m_folder;
    qint64 m_limit;
    QMutex m_mutex;
    qint64 m_bytes = -1; // -1 until the folder was counted
};
