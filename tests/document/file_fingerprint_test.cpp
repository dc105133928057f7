#include "document/file_fingerprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FingerprintTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    void write(const QString &file, const QByteArray &bytes) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void setTime(const QString &file, const QDateTime &time) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    }
};

TEST_F(FingerprintTest, MissingOrEmptyOutputIsEmpty) {
    const QString out = path("x.rbf");
    const FileFingerprint before = TakeFingerprint(out);
    EXPECT_FALSE(before.exists);
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Empty);
    write(out, QByteArray());
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Empty);
    EXPECT_EQ(JudgeConversionOutput(before, dir.path()), ConversionOutput::Empty);
}

TEST_F(FingerprintTest, NewFileIsWritten) {
    const QString out = path("x.rbf");
    const FileFingerprint before = TakeFingerprint(out);
    write(out, "data");
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Written);
}

TEST_F(FingerprintTest, UntouchedFileIsUnchanged) {
    const QString out = path("x.rbf");
    write(out, "old data");
    const FileFingerprint before = TakeFingerprint(out);
    EXPECT_EQ(before.size, 8);
    EXPECT_FALSE(before.hash.isEmpty());
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Unchanged);
}

// A rewrite within the time stamp's resolution, same size: only the content tells.
TEST_F(FingerprintTest, SameSizeAndTimeButNewContentIsWritten) {
    const QString out = path("x.rbf");
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-100);
    write(out, "aaaa");
    setTime(out, stamp);
    const FileFingerprint before = TakeFingerprint(out);
    write(out, "bbbb");
    setTime(out, stamp);
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Written);
}

// A converter that writes the very same bytes again still rewrote the file.
TEST_F(FingerprintTest, SameContentWithNewTimeIsWritten) {
    const QString out = path("x.rbf");
    write(out, "aaaa");
    setTime(out, QDateTime::currentDateTime().addSecs(-100));
    const FileFingerprint before = TakeFingerprint(out);
    write(out, "aaaa");
    EXPECT_EQ(JudgeConversionOutput(before, out), ConversionOutput::Written);
}

} // namespace
