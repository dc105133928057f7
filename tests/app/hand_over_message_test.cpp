// The bytes a second start sends, and the open-files queue of the running one.

#include "app/hand_over_message.h"
#include "app/open_files_queue.h"

#include <gtest/gtest.h>

namespace {

HandOverMessage Message(const QStringList &paths, const QByteArray &token = QByteArray()) {
    HandOverMessage message;
    message.paths = paths;
    message.activationEnv = token;
    return message;
}

QByteArray Header(quint32 count) {
    QByteArray bytes(1, HandOverVersion);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((count >> shift) & 0xFF));
    return bytes;
}

TEST(HandOverMessage, EveryPathOfTheCommandLineArrivesAsItWas) {
    // Letters outside code page 1252, the queue's separator, a line break, an empty entry.
    const QStringList paths = {QStringLiteral("/home/ana/Карты/北京 map.rbf"),
                               QStringLiteral("/d/v||unit.rbf"), QStringLiteral("/d/a\nb.rbf"), QString(),
                               QStringLiteral("/d/last.rbf")};
    const QByteArray bytes = EncodeHandOver(Message(paths, "XDG_ACTIVATION_TOKEN=abc"));
    EXPECT_EQ(bytes.at(0), HandOverVersion);
    EXPECT_TRUE(bytes.endsWith('\0'));
    HandOverMessage decoded;
    ASSERT_EQ(DecodeHandOver(bytes, decoded), HandOverDecode::Complete);
    EXPECT_EQ(decoded.paths, paths);
    EXPECT_EQ(decoded.activationEnv, QByteArray("XDG_ACTIVATION_TOKEN=abc"));

    // No file at all, and no token: nothing left over from an earlier message.
    ASSERT_EQ(DecodeHandOver(EncodeHandOver(HandOverMessage()), decoded), HandOverDecode::Complete);
    EXPECT_TRUE(decoded.paths.isEmpty());
    EXPECT_TRUE(decoded.activationEnv.isEmpty());
}

TEST(HandOverMessage, EveryPrefixIsIncomplete) {
    const QByteArray bytes = EncodeHandOver(
        Message({QStringLiteral("/data/a.rbf"), QStringLiteral("/b.rbf")}, "DESKTOP_STARTUP_ID=x"));
    HandOverMessage decoded;
    for (qsizetype length = 0; length < bytes.size(); ++length)
        EXPECT_EQ(DecodeHandOver(bytes.left(length), decoded), HandOverDecode::Incomplete) << length;
}

TEST(HandOverMessage, ForeignOrMalformedBytesAreInvalid) {
    HandOverMessage decoded;
    // A bare path with its zero byte, as the Windows program sent it, has no version byte.
    EXPECT_EQ(DecodeHandOver(QByteArray("C:\\a.rbf\0", 9), decoded), HandOverDecode::Invalid);
    // The one-path message of the earlier version.
    EXPECT_EQ(DecodeHandOver(QByteArray("\1\1/a.rbf\0\0", 10), decoded), HandOverDecode::Invalid);
    // More bytes than the count announced.
    EXPECT_EQ(DecodeHandOver(Header(1) + QByteArray("/a\0\0/b\0", 8), decoded), HandOverDecode::Invalid);
    // A count that the size limit could never hold.
    EXPECT_EQ(DecodeHandOver(Header(0xFFFFFFFF), decoded), HandOverDecode::Invalid);
}

TEST(HandOverMessage, FourMegabytesIsTheLimit) {
    HandOverMessage decoded;
    const QByteArray header = Header(1);
    // Without its zero bytes: dropped once the limit is reached, not read on forever.
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes - header.size() - 1, 'a'), decoded),
              HandOverDecode::Incomplete);
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes, 'a'), decoded), HandOverDecode::Invalid);
    // Complete but longer than the limit.
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes, 'a') + QByteArray("\0\0", 2), decoded),
              HandOverDecode::Invalid);
    // Exactly at the limit.
    const QByteArray fits =
        header + QByteArray(MaxHandOverBytes - header.size() - 2, 'a') + QByteArray("\0\0", 2);
    ASSERT_EQ(fits.size(), MaxHandOverBytes);
    EXPECT_EQ(DecodeHandOver(fits, decoded), HandOverDecode::Complete);
    ASSERT_EQ(decoded.paths.size(), 1);
    EXPECT_EQ(decoded.paths.at(0).size(), MaxHandOverBytes - header.size() - 2);
}

class OpenFilesQueue : public ::testing::Test {
protected:
    void SetUp() override { qunsetenv(OpenFilesQueueVariable); }
    void TearDown() override { qunsetenv(OpenFilesQueueVariable); }
};

TEST_F(OpenFilesQueue, PathsFollowedBySeparatorInArrivalOrder) {
    EXPECT_EQ(ReadOpenFilesQueue(), QString());
    AppendToOpenFilesQueue(QStringLiteral("/data/a.rbf"));
    AppendToOpenFilesQueue(QStringLiteral("/d/Ärger b.rbf"));
    EXPECT_EQ(ReadOpenFilesQueue(), QStringLiteral("/data/a.rbf||/d/Ärger b.rbf||"));
    // It is the process environment itself.
    EXPECT_EQ(QString::fromUtf8(qgetenv("_Kestrelbench")), QStringLiteral("/data/a.rbf||/d/Ärger b.rbf||"));
    WriteOpenFilesQueue(QString());
    EXPECT_EQ(ReadOpenFilesQueue(), QString());
}

TEST_F(OpenFilesQueue, SplitDropsOnlyTheEmptyEntryAfterTheLastSeparator) {
    EXPECT_EQ(SplitOpenFilesQueue(QString()), QStringList());
    EXPECT_EQ(SplitOpenFilesQueue(QStringLiteral("a||")), QStringList{QStringLiteral("a")});
    EXPECT_EQ(SplitOpenFilesQueue(QStringLiteral("a||b")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(SplitOpenFilesQueue(QStringLiteral("a||||b||")),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_EQ(SplitOpenFilesQueue(QStringLiteral("||")), QStringList{QString()});
    // A line break belongs to a POSIX file name.
    EXPECT_EQ(SplitOpenFilesQueue(QStringLiteral("/x/line\nbreak.rbf||")),
              QStringList{QStringLiteral("/x/line\nbreak.rbf")});
}

} // namespace
