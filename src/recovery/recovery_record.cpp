#include "recovery/recovery_record.h"

#include "platform/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QByteArray Magic = "Kestrelbench recovery 1\n";

QByteArray TimeValue(const QDateTime &time) {
    return time.isValid() ? QByteArray::number(time.toMSecsSinceEpoch()) : QByteArray("-");
}

QDateTime TimeFrom(const QByteArray &value, bool &ok) {
    if (value == "-") {
        ok = true;
        return QDateTime();
    }
    const qint64 ms = value.toLongLong(&ok);
    return ok ? QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC) : QDateTime();
}

bool Fail(QString *error, const QString &reason) {
    if (error)
        *error = reason;
    return false;
}

bool Commit(const QString &path, const QByteArray &header, const QByteArray &text, QString *error) {
    QSaveFile file(path);
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(ownerOnly) ||
        file.write(header) != header.size() || file.write(text) != text.size() || !file.commit())
        return Fail(error, file.errorString());
    return true;
}
} // namespace

bool RecoveryRecord::rbfChangedSince() const {
    const QFileInfo rbf(rbfPath);
    if (!rbf.exists())
        return rbfSize >= 0;
    return rbf.size() != rbfSize || !rbfModified.isValid() ||
           rbf.lastModified().toMSecsSinceEpoch() != rbfModified.toMSecsSinceEpoch();
}

QByteArray RecoveryHeader(const RecoveryRecord &record, qsizetype textSize) {
    QByteArray header = Magic;
    // Percent-encoded: a path may hold any character, line breaks included.
    header += "RbfPath: " + record.rbfPath.toUtf8().toPercentEncoding("/") + '\n';
    header += "RbfSize: " + QByteArray::number(record.rbfSize) + '\n';
    header += "RbfModified: " + TimeValue(record.rbfModified) + '\n';
    header += "Written: " + TimeValue(record.written) + '\n';
    header += "TextSize: " + QByteArray::number(textSize) + "\n\n";
    return header;
}

bool ReadRecoveryFile(const QString &path, RecoveryRecord &record, bool withText, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(error, file.errorString());
    if (file.readLine(Magic.size() + 1) != Magic)
        return Fail(error, QStringLiteral("not a recovery file"));
    RecoveryRecord read;
    qint64 textSize = -1;
    bool complete = true;
    for (int lines = 0;; ++lines) {
        const QByteArray line = file.readLine(64 * 1024);
        if (line.isEmpty() || !line.endsWith('\n') || lines > 16)
            return Fail(error, QStringLiteral("the header is incomplete"));
        if (line == "\n")
            break;
        const qsizetype colon = line.indexOf(": ");
        const QByteArray key = line.left(colon);
        const QByteArray value = line.mid(colon + 2).chopped(1);
        bool ok = colon > 0;
        if (key == "RbfPath")
            read.rbfPath = QString::fromUtf8(QByteArray::fromPercentEncoding(value));
        else if (key == "RbfSize")
            read.rbfSize = value.toLongLong(&ok);
        else if (key == "RbfModified")
            read.rbfModified = TimeFrom(value, ok);
        else if (key == "Written")
            read.written = TimeFrom(value, ok);
        else if (key == "TextSize")
            textSize = value.toLongLong(&ok);
        complete = complete && ok;
    }
    if (!complete || read.rbfPath.isEmpty() || textSize < 0)
        return Fail(error, QStringLiteral("the header is damaged"));
    if (file.size() - file.pos() != textSize)
        return Fail(error, QStringLiteral("the text is cut short"));
    if (withText) {
        read.text = file.read(textSize);
        if (read.text.size() != textSize)
            return Fail(error, file.errorString());
    }
    record = read;
    return true;
}

bool WriteRecoveryFile(const QString &path, const RecoveryRecord &record, QByteArrayView utf8,
                       QString *error) {
    QByteArray text;
    text.reserve(utf8.size());
    AppendUtf8AsCp1252(utf8.data(), utf8.size(), text);
    return Commit(path, RecoveryHeader(record, text.size()), text, error);
}

bool WriteRecoveryFile8(const QString &path, const RecoveryRecord &record, QString *error) {
    return Commit(path, RecoveryHeader(record, record.text.size()), record.text, error);
}
