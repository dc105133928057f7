// Reading UCS files piece by piece: every cut of the data decodes as the whole,
// special files are never opened, files over the limit are not read.

#include "ucs/string_table.h"
#include "ucs/ucs_file.h"

#include "support/fifo_guard.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray Ucs(const QString &text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QStringList FedInPieces(const QByteArray &bytes, const std::vector<qsizetype> &cuts) {
    UcsDecoder decoder;
    QStringList lines;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        decoder.feed(bytes.constData() + from, cut - from);
        lines.append(decoder.takeLines());
        from = cut;
    }
    decoder.feed(bytes.constData() + from, bytes.size() - from);
    decoder.finish();
    lines.append(decoder.takeLines());
    return lines;
}

QString Write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace

TEST(UcsDecoder, EveryCutDecodesAsTheWhole) {
    // Breaks, surrogate pairs, lone surrogates, characters outside the code page, an odd last
    // byte: each may be cut between any two bytes, the mark too.
    // Lone surrogates cannot be written as literals: added as code units.
    const QString text = QString::fromUtf16(u"1\tone\r\n2\ttwo\r\r\n\n3\t\U0001F600x") + QChar(0xD800) +
                         QString::fromUtf16(u"\r\n4\t\u20AC\u4E2D") + QChar(0xDC00) + QChar(0xD83D) +
                         QString::fromUtf16(u"\r5\t\u00E9\n6");
    for (const QByteArray &bytes : {Ucs(text), Ucs(text) + QByteArray("A", 1), Ucs(text).left(7),
                                    Ucs(text) + QByteArray("\0\0x\0", 4)}) {
        const QStringList whole = DecodeUcsText(bytes);
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut)
            ASSERT_EQ(FedInPieces(bytes, {cut}), whole) << "cut at " << cut;
        std::vector<qsizetype> everyByte;
        for (qsizetype cut = 1; cut < bytes.size(); ++cut)
            everyByte.push_back(cut);
        EXPECT_EQ(FedInPieces(bytes, everyByte), whole);
    }
    // The pieces hold the documented decoding.
    EXPECT_EQ(FedInPieces(Ucs(QStringLiteral("a\r\nb")), {3, 5, 6, 7}), (QStringList{"a", "b"}));
    EXPECT_EQ(FedInPieces(Ucs(QString::fromUtf16(u"\U0001F600")), {4}), QStringList{"?"});
}

TEST(UcsDecoder, RandomTextsInRandomPieces) {
    std::mt19937 rng(5);
    const char16_t alphabet[] = {u'1',   u'\t',  u'\r',  u'\n',  u'x',   0xE9,
                                 0x20AC, 0x4E2D, 0xD83D, 0xDE00, 0xDC00, 0};
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int length = int(rng() % 60);
        for (int i = 0; i < length; ++i)
            text.append(QChar(alphabet[rng() % (sizeof alphabet / sizeof alphabet[0])]));
        QByteArray bytes = Ucs(text);
        if (rng() % 2)
            bytes.append(char(rng() % 256));
        std::vector<qsizetype> cuts;
        for (qsizetype at = 0; at < bytes.size(); at += qsizetype(rng() % 5))
            cuts.push_back(at);
        ASSERT_EQ(FedInPieces(bytes, cuts), DecodeUcsText(bytes)) << "round " << round;
    }
}

TEST(UcsFile, ReadsInPiecesWhatDecodingTheWholeGives) {
    QTemporaryDir dir;
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QString::number(i) + QStringLiteral("\tText \u00E9 ") + QString::number(i * 7) +
                QStringLiteral("\r\n");
    text += QString(5000, QLatin1Char('L')); // a last line longer than a piece
    const QByteArray bytes = Ucs(text);
    const QString path = Write(dir, QStringLiteral("big.ucs"), bytes);
    QStringList lines{QStringLiteral("kept")};
    int pieces = 0;
    EXPECT_EQ(ReadUcsFile(
                  path, lines, [&] { ++pieces; }, 1000),
              UcsRead::Done);
    EXPECT_EQ(lines, QStringList{QStringLiteral("kept")} + DecodeUcsText(bytes));
    // Never more than one piece at a time in memory: the pieces are the file's size in 1,000s.
    EXPECT_EQ(pieces, int((bytes.size() + 999) / 1000));
}

TEST(UcsFile, MissingEmptyAndSpecialFilesCountAsAbsent) {
    QTemporaryDir dir;
    QStringList lines{QStringLiteral("kept")};
    EXPECT_EQ(ReadUcsFile(dir.filePath(QStringLiteral("missing.ucs")), lines), UcsRead::Missing);
    EXPECT_EQ(ReadUcsFile(Write(dir, QStringLiteral("empty.ucs"), QByteArray()), lines), UcsRead::Missing);
    EXPECT_EQ(ReadUcsFile(dir.path(), lines), UcsRead::Missing);
#ifdef Q_OS_UNIX
    const QString fifo = dir.filePath(QStringLiteral("pipe.ucs"));
    FifoGuard guard(fifo);
    ASSERT_TRUE(guard.made());
    EXPECT_EQ(ReadUcsFile(fifo, lines), UcsRead::Missing);
    EXPECT_FALSE(guard.finish()) << "the FIFO was opened";
    EXPECT_EQ(ReadUcsFile(QStringLiteral("/dev/zero"), lines), UcsRead::Missing);
#endif
    EXPECT_EQ(lines, QStringList{QStringLiteral("kept")});
}

TEST(UcsFile, FilesOverTheLimitAreNotRead) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.ucs"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Sparse: no disk space and nothing to read, only the size counts.
    ASSERT_TRUE(file.resize(MaxUcsFileBytes + 1));
    file.close();
    QStringList lines;
    int pieces = 0;
    EXPECT_EQ(ReadUcsFile(path, lines, [&] { ++pieces; }), UcsRead::TooLarge);
    EXPECT_EQ(pieces, 0);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(UcsTooLargeMessage(QStringLiteral("/d/HUGE.UCS")),
              QStringLiteral("/d/HUGE.UCS is larger than 256 MiB and is not loaded as a string table"));
}
