// The bytes a second start sends, and the open-files queue of the running one.

#include "app/hand_over_message.h"
#include "app/open_files_queue.h"

#include <gtest/gtest.h>

namespace {

HandOverMessage Message(const QString &path, const QByteArray &token = QByteArray()) {
    HandOverMessage message;
    message.hasPath = true;
    message.path = path;
    message.activationEnv = token;
    return message;
}

TEST(HandOverMessage, RoundTripKeepsLettersOutsideCodePage1252) {
    const QString path = QStringLiteral("/home/ana/Карты/北京 map.rbf");
    const QByteArray bytes = EncodeHandOver(Message(path, "XDG_ACTIVATION_TOKEN=abc"));
    EXPECT_EQ(bytes.at(0), HandOverVersion);
    EXPECT_TRUE(bytes.endsWith('\0'));
    HandOverMessage decoded;
    ASSERT_EQ(DecodeHandOver(bytes, decoded), HandOverDecode::Complete);
    EXPECT_TRUE(decoded.hasPath);
    EXPECT_EQ(decoded.path, path);
    EXPECT_EQ(decoded.activationEnv, QByteArray("XDG_ACTIVATION_TOKEN=abc"));
}

TEST(HandOverMessage, NoArgumentAndAnEmptyArgumentDiffer) {
    HandOverMessage none;
    HandOverMessage decoded = Message(QStringLiteral("stale"));
    ASSERT_EQ(DecodeHandOver(EncodeHandOver(none), decoded), HandOverDecode::Complete);
    EXPECT_FALSE(decoded.hasPath);
    EXPECT_TRUE(decoded.path.isEmpty());

    ASSERT_EQ(DecodeHandOver(EncodeHandOver(Message(QString())), decoded), HandOverDecode::Complete);
    EXPECT_TRUE(decoded.hasPath);
    EXPECT_TRUE(decoded.path.isEmpty());
}

TEST(HandOverMessage, EveryPrefixIsIncomplete) {
    const QByteArray bytes = EncodeHandOver(Message(QStringLiteral("/data/a.rbf"), "DESKTOP_STARTUP_ID=x"));
    HandOverMessage decoded;
    for (qsizetype length = 0; length < bytes.size(); ++length)
        EXPECT_EQ(DecodeHandOver(bytes.left(length), decoded), HandOverDecode::Incomplete) << length;
}

TEST(HandOverMessage, ForeignOrMalformedBytesAreInvalid) {
    HandOverMessage decoded;
    // A bare path with its zero byte, as the Windows program sent it, has no version byte.
    EXPECT_EQ(DecodeHandOver(QByteArray("C:\\a.rbf\0", 9), decoded), HandOverDecode::Invalid);
    EXPECT_EQ(DecodeHandOver(QByteArray("\1\2a\0\0", 5), decoded), HandOverDecode::Invalid);
    // "No path" must not carry one.
    EXPECT_EQ(DecodeHandOver(QByteArray("\1\0a\0\0", 5), decoded), HandOverDecode::Invalid);
}

TEST(HandOverMessage, SixtyFourKilobytesIsTheLimit) {
    HandOverMessage decoded;
    const QByteArray header("\1\1", 2);
    // Without its zero bytes: dropped once the limit is reached, not read on forever.
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes - 3, 'a'), decoded),
              HandOverDecode::Incomplete);
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes, 'a'), decoded), HandOverDecode::Invalid);
    // Complete but longer than the limit.
    EXPECT_EQ(DecodeHandOver(header + QByteArray(MaxHandOverBytes, 'a') + QByteArray("\0\0", 2), decoded),
              HandOverDecode::Invalid);
    // Exactly at the limit.
    const QByteArray fits = header + QByteArray(MaxHandOverBytes - 4, 'a') + QByteArray("\0\0", 2);
    ASSERT_EQ(fits.size(), MaxHandOverBytes);
    EXPECT_EQ(DecodeHandOver(fits, decoded), HandOverDecode::Complete);
    EXPECT_EQ(decoded.path.size(), MaxHandOverBytes - 4);
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
