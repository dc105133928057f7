// Recovery files and backups on disk: what a file holds, which RBF file it belongs to, where
// declined ones go and when they leave, and how many backups stay.

#include "platform/cp1252.h"
#include "recovery/backup_store.h"
#include "recovery/recovery_folder.h"
#include "recovery/safe_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The permission bits as a mode number (0600): group and others must have nothing.
int Mode(const QString &path) {
    const QFile::Permissions p = QFile::permissions(path);
    const QList<QPair<QFile::Permission, int>> bits = {
        {QFile::ReadOwner, 0400}, {QFile::WriteOwner, 0200}, {QFile::ExeOwner, 0100},
        {QFile::ReadGroup, 040},  {QFile::WriteGroup, 020},  {QFile::ExeGroup, 010},
        {QFile::ReadOther, 04},   {QFile::WriteOther, 02},   {QFile::ExeOther, 01}};
    int mode = 0;
    for (const auto &bit : bits)
        mode |= p.testFlag(bit.first) ? bit.second : 0;
    return mode;
}

void Age(const QString &path, int days) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTimeUtc().addDays(-days), QFileDevice::FileModificationTime);
}

RecoveryRecord Record(const QString &rbfPath, qint64 secondsAgo) {
    RecoveryRecord record;
    record.rbfPath = rbfPath;
    record.rbfSize = 10;
    record.rbfModified = QDateTime::currentDateTimeUtc().addDays(-1);
    record.written = QDateTime::currentDateTimeUtc().addSecs(-secondsAgo);
    return record;
}

class RecoveryStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root() const { return dir.filePath(QStringLiteral("state/recovery")); }
};

TEST_F(RecoveryStore, KeepsTheTextAsASaveWritesItAndThePathWhateverItHolds) {
    RecoveryFolder folder(root());
    QString error;
    ASSERT_TRUE(folder.prepare(&error)) << error.toStdString();
    EXPECT_EQ(Mode(root()), 0700);

    // Blanks, letters outside ASCII and a line break in the path; the text has CR LF, a euro
    // sign (0x80 in the code page) and one of the five bytes the code page leaves undefined.
    RecoveryRecord record = Record(QString::fromUtf8("/d/My D\xc3\xa4ta\nx/unit.rbf"), 0);
    const QByteArray cp1252 = "unit\r\n{\r\n| name: \"M\xe4rz \x80 \x81\";\r\n}\r\n";
    QByteArray utf8;
    AppendCp1252AsUtf8(cp1252.constData(), cp1252.size(), utf8);
    const QString file = folder.newFilePath(record.rbfPath, record.written);
    ASSERT_TRUE(WriteRecoveryFile(file, record, utf8, &error)) << error.toStdString();
    EXPECT_EQ(Mode(file), 0600);

    RecoveryRecord read;
    ASSERT_TRUE(ReadRecoveryFile(file, read, true, &error)) << error.toStdString();
    EXPECT_EQ(read.rbfPath, record.rbfPath);
    EXPECT_EQ(read.text, cp1252);
    EXPECT_EQ(read.rbfSize, 10);
    EXPECT_EQ(read.rbfModified.toMSecsSinceEpoch(), record.rbfModified.toMSecsSinceEpoch());
    EXPECT_EQ(read.written.toMSecsSinceEpoch(), record.written.toMSecsSinceEpoch());

    // A file cut short, or one that is no recovery file, is refused with a reason.
    const QByteArray whole = ReadAll(file);
    WriteAll(file, whole.chopped(1));
    EXPECT_FALSE(ReadRecoveryFile(file, read, true, &error));
    EXPECT_FALSE(error.isEmpty());
    WriteAll(file, "unit\r\n{\r\n}\r\n");
    EXPECT_FALSE(ReadRecoveryFile(file, read, false, &error));
}

TEST_F(RecoveryStore, BelongsToTheRbfFileItsRecordNamesNotToOneOfTheSameName) {
    RecoveryFolder folder(root());
    QString error;
    ASSERT_TRUE(folder.prepare(&error));
    const QString mine = QStringLiteral("/home/me/data/unit.rbf");
    const QString other = QStringLiteral("/home/me/other/unit.rbf");
    const auto put = [&](const QString &rbfPath, qint64 secondsAgo, const QString &name = QString()) {
        RecoveryRecord record = Record(rbfPath, secondsAgo);
        record.text = rbfPath.toUtf8() + QByteArray::number(secondsAgo);
        const QString file = name.isEmpty() ? folder.newFilePath(rbfPath, record.written) : root() + name;
        EXPECT_TRUE(WriteRecoveryFile8(file, record, &error));
        return file;
    };
    const QString older = put(mine, 300);
    const QString newer = put(mine, 5);
    put(other, 1);
    // A file named like one of mine (a copied folder, a name clash) whose record names another.
    put(QStringLiteral("/home/someone/unit.rbf"), 0,
        QFileInfo(newer).fileName().replace(".recovery", "-9.recovery").prepend('/'));
    WriteAll(root() + QStringLiteral("/junk.recovery"), "no header");

    const QList<RecoveryEntry> found = folder.entries(mine);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).file, newer);
    EXPECT_EQ(found.at(1).file, older);
    QStringList unreadable;
    EXPECT_EQ(folder.entries(QString(), &unreadable).size(), 4);
    EXPECT_EQ(unreadable.size(), 1);
    EXPECT_TRUE(QFile::exists(root() + QStringLiteral("/junk.recovery")));
}

TEST_F(RecoveryStore, DeclinedFilesWaitAWeekFromTheirDeclineThenGo) {
    RecoveryFolder folder(root());
    QString error;
    ASSERT_TRUE(folder.prepare(&error));
    RecoveryRecord record = Record(QStringLiteral("/d/unit.rbf"), 0);
    record.text = "old edits";
    const QString oldFile = folder.newFilePath(record.rbfPath, record.written);
    ASSERT_TRUE(WriteRecoveryFile8(oldFile, record, &error));
    Age(oldFile, 30); // written a month ago, declined now
    ASSERT_TRUE(folder.discard(oldFile, &error)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(oldFile));
    EXPECT_TRUE(folder.entries().isEmpty());

    const QString declined = folder.discardedRoot() + QLatin1Char('/') + QFileInfo(oldFile).fileName();
    EXPECT_EQ(ReadAll(declined).right(9), QByteArray("old edits"));
    EXPECT_EQ(folder.purgeDiscarded(QDateTime::currentDateTimeUtc()), 0);
    EXPECT_TRUE(QFile::exists(declined));
    EXPECT_EQ(folder.purgeDiscarded(QDateTime::currentDateTimeUtc().addDays(8)), 1);
    EXPECT_FALSE(QFile::exists(declined));
}

TEST(BackupStoreTest, KeepsTheNewestNOfEachFileUntouched) {
    QTemporaryDir dir;
    BackupStore store(dir.filePath(QStringLiteral("backups")));
    QDir().mkpath(dir.filePath(QStringLiteral("a")));
    QDir().mkpath(dir.filePath(QStringLiteral("b")));
    const QString rbf = dir.filePath(QStringLiteral("a/unit.rbf"));
    const QString namesake = dir.filePath(QStringLiteral("b/unit.rbf"));
    WriteAll(namesake, "other file");
    QString error;
    ASSERT_TRUE(store.backUp(namesake, 3, QDateTime::currentDateTimeUtc(), &error));
    const QDateTime start = QDateTime::currentDateTimeUtc();
    for (int version = 1; version <= 5; ++version) {
        WriteAll(rbf, "version " + QByteArray::number(version));
        // Two within one millisecond as well: both are kept apart.
        ASSERT_TRUE(store.backUp(rbf, 3, start.addSecs(version == 5 ? 4 : version), &error))
            << error.toStdString();
    }
    const QList<BackupEntry> kept = store.entries(rbf);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(ReadAll(kept.at(0).file), QByteArray("version 5"));
    EXPECT_EQ(ReadAll(kept.at(1).file), QByteArray("version 4"));
    EXPECT_EQ(ReadAll(kept.at(2).file), QByteArray("version 3"));
    EXPECT_EQ(kept.at(0).size, 9);
    EXPECT_TRUE(
        QFileInfo(kept.at(0).file).fileName().startsWith(QStringLiteral("unit.") + ShortPathHash(rbf)));
    EXPECT_EQ(Mode(kept.at(0).file), 0600);
    ASSERT_EQ(store.entries(namesake).size(), 1);
    EXPECT_EQ(ReadAll(store.entries(namesake).at(0).file), QByteArray("other file"));

    // 0 takes no backup and removes none.
    ASSERT_TRUE(store.backUp(rbf, 0, start.addSecs(9), &error));
    EXPECT_EQ(store.entries(rbf).size(), 3);
}

} // namespace
