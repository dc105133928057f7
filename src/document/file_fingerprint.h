#pragma once
// What a file looked like at one moment: whether it existed, its size, its
// modification time and a hash of its content. A conversion's output counts
// only when the converter run changed it; an output left over from an earlier
// run (a converter that failed and wrote nothing) has the same fingerprint.
// The content hash matters because modification times can be coarse (2 s on
// FAT) and a quick rewrite may keep size and time.

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct FileFingerprint {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    QByteArray hash; // empty when the file could not be read

    bool operator==(const FileFingerprint &other) const {
        return exists == other.exists && size == other.size && modified == other.modified &&
               hash == other.hash;
    }
    bool operator!=(const FileFingerprint &other) const { return !(*this == other); }
};

FileFingerprint TakeFingerprint(const QString &path);

// The outcome of a conversion judged by its output file, before and after the run.
enum class ConversionOutput {
    Written,   // the run wrote a non-empty file
    Empty,     // the file is missing or empty after the run
    Unchanged, // the file is non-empty but the run did not touch it
};
ConversionOutput JudgeConversionOutput(const FileFingerprint &before, const QString &outputPath);
