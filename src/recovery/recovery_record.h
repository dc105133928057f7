#pragma once
// A recovery file: the unsaved text of one page, with what is needed to offer
// it back. A short header of "Key: value" lines names the RBF file (by its full
// path), the RBF file's size and modification time when the page was loaded or
// last saved (so that a later change on disk can be pointed out), and the time
// the text was written; after an empty line follows the text, in code page
// 1252 exactly as a save writes it. The header states the text's size, so a
// file cut short is recognised instead of offering half a text.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

struct RecoveryRecord {
    QString rbfPath;
    qint64 rbfSize = -1;   // -1: the RBF file did not exist
    QDateTime rbfModified; // invalid when the RBF file did not exist
    QDateTime written;
    QByteArray text; // code page 1252; empty when only the header was read

    // True when the RBF file on disk differs in size or time from the one the text was based on.
    bool rbfChangedSince() const;
};

// The header of a record (everything before the text).
QByteArray RecoveryHeader(const RecoveryRecord &record, qsizetype textSize);

// Reads a recovery file; withText false stops after the header (record.text stays empty). False
// with a reason when the file cannot be read or is not a complete recovery file.
bool ReadRecoveryFile(const QString &path, RecoveryRecord &record, bool withText, QString *error);

// Writes record's header and the editor text utf8 converted to code page 1252, atomically (a
// temporary file renamed over path) and readable by the owner only. Safe on a worker thread.
bool WriteRecoveryFile(const QString &path, const RecoveryRecord &record, QByteArrayView utf8,
                       QString *error);
// The same with a text that is already code page 1252.
bool WriteRecoveryFile8(const QString &path, const RecoveryRecord &record, QString *error);
