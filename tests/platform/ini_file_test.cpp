// The settings file: profile-file reading rules, typed reads, and writes that
// keep everything they do not change.

#include "platform/ini_file.h"

#include "support/fifo_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

class IniFileTest : public testing::Test {
protected:
    QString Write(const QByteArray &bytes) {
        QFile file(Path());
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return Path();
    }
    QByteArray Contents() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString Path() const { return dir.filePath(QStringLiteral("Kestrelbench.ini")); }

    QTemporaryDir dir;
};

QString S(const char *text) {
    return QString::fromLatin1(text);
}

} // namespace

TEST_F(IniFileTest, MissingFileReadsDefaultsAndFlushCreatesIt) {
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadString(S("Main"), S("Grindle"), S("none")), S("none"));
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 17), 17);
    EXPECT_TRUE(ini.ReadBool(S("Main"), S("Maximized"), true));
    EXPECT_TRUE(ini.Flush());
    EXPECT_TRUE(QFile::exists(Path()));
    EXPECT_EQ(Contents(), QByteArray());
}

TEST_F(IniFileTest, WritesTheSettingsLayoutAndReadsItBack) {
    {
        IniFile ini(Path());
        ini.WriteBool(S("Main"), S("Maximized"), false);
        ini.WriteInteger(S("Main"), S("Top"), 240);
        ini.WriteInteger(S("Main"), S("Left"), 510);
        ini.WriteInteger(S("Main"), S("Width"), 900);
        ini.WriteInteger(S("Main"), S("Height"), 600);
        ini.WriteString(S("Main"), S("Grindle"), S("C:\\tools\\Grindle.exe"));
        ini.WriteString(S("Main"), S("UCSPath"), S("C:\\GAME\\ENGLISH.UCS||C:\\GAME\\EXTRA.UCS||"));
        ini.WriteString(S("Main"), S("LastFolder"), S("C:\\game\\data"));
        ini.WriteString(S("Font"), S("Name"), S("Courier New"));
        ini.WriteInteger(S("Font"), S("Size"), 10);
        ini.WriteInteger(S("Font"), S("Charset"), 0);
        ini.WriteInteger(S("Font"), S("Color"), -2147483640);
        ini.WriteInteger(S("Font"), S("Height"), -13);
        ini.WriteBool(S("Font"), S("Bold"), false);
        ini.WriteBool(S("Font"), S("Italic"), false);
        ini.WriteBool(S("Font"), S("Underline"), false);
        ini.WriteBool(S("Font"), S("StrikeOut"), false);
        ASSERT_TRUE(ini.Flush());
    }
    EXPECT_EQ(Contents(),
              QByteArray("[Main]\r\nMaximized=0\r\nTop=240\r\nLeft=510\r\nWidth=900\r\nHeight=600\r\n"
                         "Grindle=C:\\tools\\Grindle.exe\r\n"
                         "UCSPath=C:\\GAME\\ENGLISH.UCS||C:\\GAME\\EXTRA.UCS||\r\n"
                         "LastFolder=C:\\game\\data\r\n"
                         "[Font]\r\nName=Courier New\r\nSize=10\r\nCharset=0\r\nColor=-2147483640\r\n"
                         "Height=-13\r\nBold=0\r\nItalic=0\r\nUnderline=0\r\nStrikeOut=0\r\n"));
    const IniFile ini(Path());
    EXPECT_FALSE(ini.ReadBool(S("Main"), S("Maximized"), true));
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 0), 240);
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Left"), 0), 510);
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Width"), 0), 900);
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Height"), 0), 600);
    EXPECT_EQ(ini.ReadString(S("Main"), S("Grindle"), S("")), S("C:\\tools\\Grindle.exe"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("UCSPath"), S("")),
              S("C:\\GAME\\ENGLISH.UCS||C:\\GAME\\EXTRA.UCS||"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("LastFolder"), S("")), S("C:\\game\\data"));
    EXPECT_EQ(ini.ReadString(S("Font"), S("Name"), S("")), S("Courier New"));
    EXPECT_EQ(ini.ReadInteger(S("Font"), S("Size"), 0), 10);
    EXPECT_EQ(ini.ReadInteger(S("Font"), S("Charset"), 7), 0);
    EXPECT_EQ(ini.ReadInteger(S("Font"), S("Color"), 0), -2147483640);
    EXPECT_EQ(ini.ReadInteger(S("Font"), S("Height"), 0), -13);
    EXPECT_FALSE(ini.ReadBool(S("Font"), S("StrikeOut"), true));
}

TEST_F(IniFileTest, NamesIgnoreCaseAndSpacing) {
    const IniFile ini(Write("  [ main ]  \r\n  TOP \t=\t 5 \t\r\n\tName=  Courier New  \r\n= nameless\r\n"));
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 0), 5);
    EXPECT_EQ(ini.ReadInteger(S(" MAIN\t"), S(" top "), 0), 5);
    EXPECT_EQ(ini.ReadString(S("Main"), S("name"), S("")), S("Courier New"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("Nam"), S("x")), S("x"));
    EXPECT_EQ(ini.ReadString(S("Mai"), S("Top"), S("x")), S("x"));
}

TEST_F(IniFileTest, MatchingQuotesAreRemoved) {
    const IniFile ini(Write("[S]\na=\"quoted\"\nb='single'\nc=\"mixed'\nd=\"\ne=\"\"\n"
                            "f=\" inner blanks \"\ng=\"a\"b\"\nh=x\"y\"\n"));
    EXPECT_EQ(ini.ReadString(S("S"), S("a"), S("")), S("quoted"));
    EXPECT_EQ(ini.ReadString(S("S"), S("b"), S("")), S("single"));
    EXPECT_EQ(ini.ReadString(S("S"), S("c"), S("")), S("\"mixed'"));
    EXPECT_EQ(ini.ReadString(S("S"), S("d"), S("")), S("\""));
    EXPECT_EQ(ini.ReadString(S("S"), S("e"), S("def")), S(""));
    EXPECT_EQ(ini.ReadString(S("S"), S("f"), S("")), S(" inner blanks "));
    EXPECT_EQ(ini.ReadString(S("S"), S("g"), S("")), S("a\"b"));
    EXPECT_EQ(ini.ReadString(S("S"), S("h"), S("")), S("x\"y\""));
}

TEST_F(IniFileTest, FirstOfDuplicateKeysAndSectionsCounts) {
    const IniFile ini(Write("[Main]\nTop=1\ntop=2\n[Other]\nTop=3\n[MAIN]\nTop=4\nOnlyHere=5\n"));
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(S("Other"), S("Top"), 0), 3);
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("OnlyHere"), 9), 9);
}

TEST_F(IniFileTest, LinesThatAreNoKeys) {
    const IniFile ini(Write("Top=1\n[Main]\nWidth\n;Top=5\n# Height=3\nWidth=7\n[Empty]\n"));
    // Before the first section: no section that can be read.
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 9), 9);
    EXPECT_EQ(ini.ReadInteger(S(""), S("Top"), 9), 9);
    // A line without "=" is no key, so the later "Width=7" is the first one.
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Width"), 0), 7);
    // No comment syntax: ";Top" is a key of its own.
    EXPECT_EQ(ini.ReadString(S("Main"), S(";Top"), S("")), S("5"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("# Height"), S("")), S("3"));
    EXPECT_EQ(ini.ReadInteger(S("Empty"), S("Width"), 4), 4);
    EXPECT_EQ(ini.ReadInteger(S("Missing"), S("Width"), 4), 4);
}

TEST_F(IniFileTest, CrLfAndLfBothEndLines) {
    const IniFile ini(Write("[A]\r\nx=1\ny=2\r\n[B]\nz=3"));
    EXPECT_EQ(ini.ReadString(S("A"), S("x"), S("")), S("1"));
    EXPECT_EQ(ini.ReadString(S("A"), S("y"), S("")), S("2"));
    EXPECT_EQ(ini.ReadString(S("B"), S("z"), S("")), S("3"));
}

TEST_F(IniFileTest, IntegerForms) {
    const IniFile ini(
        Write("[N]\ndec=1000\nneg=-5\nplus=+7\nhex=0x3E8\nHEX=0X3e8\ndollar=$3E8\nnegdollar=-$10\n"
              "garbage=12abc\nword=abc\nbare0x=0x\nbaredollar=$\nminus=-\nempty=\n"
              "max=2147483647\nover=2147483648\nmin=-2147483648\nunder=-2147483649\n"
              "allbits=0xFFFFFFFF\ntoolong=0x100000000\nzeros=$000000000001\n"
              "spaced= 42 \nquoted=\"12\"\nexp=1e3\ninner=1 2\n"));
    const auto read = [&](const char *key) { return ini.ReadInteger(S("N"), S(key), -99); };
    EXPECT_EQ(read("dec"), 1000);
    EXPECT_EQ(read("neg"), -5);
    EXPECT_EQ(read("plus"), 7);
    EXPECT_EQ(read("hex"), 1000);
    EXPECT_EQ(read("dollar"), 1000);
    EXPECT_EQ(read("negdollar"), -16);
    EXPECT_EQ(read("max"), 2147483647);
    EXPECT_EQ(read("min"), -2147483647 - 1);
    EXPECT_EQ(read("allbits"), -1);
    EXPECT_EQ(read("zeros"), 1);
    EXPECT_EQ(read("spaced"), 42);
    EXPECT_EQ(read("quoted"), 12);
    // The whole text must be the number: garbage after the digits gives the default.
    for (const char *bad : {"garbage", "word", "bare0x", "baredollar", "minus", "empty", "over", "under",
                            "toolong", "exp", "inner"})
        EXPECT_EQ(read(bad), -99) << bad;
    EXPECT_EQ(read("HEX"), 1000); // keys ignore case: "HEX" is "hex", the first one
}

TEST_F(IniFileTest, BooleansAreIntegers) {
    const IniFile ini(Write("[F]\nBold=2\nItalic=0\nUnderline=yes\nStrikeOut=-1\n"));
    EXPECT_TRUE(ini.ReadBool(S("F"), S("Bold"), false));
    EXPECT_FALSE(ini.ReadBool(S("F"), S("Italic"), true));
    EXPECT_TRUE(ini.ReadBool(S("F"), S("Underline"), true));
    EXPECT_FALSE(ini.ReadBool(S("F"), S("Underline"), false));
    EXPECT_TRUE(ini.ReadBool(S("F"), S("StrikeOut"), false));
}

TEST_F(IniFileTest, LongValuesAreCutAt2047Characters) {
    const QByteArray value(3000, 'v');
    const QByteArray quoted = "\"" + QByteArray(2100, 'q') + "\"";
    const IniFile ini(Write("[Main]\nUCSPath=" + value + "\nQuoted=" + quoted + "\n"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("UCSPath"), S("")), QString(2047, QLatin1Char('v')));
    EXPECT_EQ(ini.ReadString(S("Main"), S("Quoted"), S("")), QString(2047, QLatin1Char('q')));
}

TEST_F(IniFileTest, TextIsCodePage1252) {
    IniFile ini(Write("[Main]\nLastFolder=C:\\Spi\xE9le\\\x80\x81\n"));
    EXPECT_EQ(ini.ReadString(S("Main"), S("LastFolder"), S("")),
              QString::fromUtf16(u"C:\\Spi\u00E9le\\\u20AC\u0081"));
    ini.WriteString(S("Main"), S("Grindle"), QString::fromUtf16(u"/opt/gr\u00FCn/\u4E2D"));
    ASSERT_TRUE(ini.Flush());
    // A character outside the code page: the whole file goes UTF-8, after the mark that
    // says so, rather than lose it to "?".
    EXPECT_EQ(Contents(),
              "\xEF\xBB\xBF" + QString::fromUtf16(u"[Main]\r\nLastFolder=C:\\Spi\u00E9le\\\u20AC\u0081\r\n"
                                                  u"Grindle=/opt/gr\u00FCn/\u4E2D\r\n")
                                   .toUtf8());
}

TEST_F(IniFileTest, PathsOutsideTheCodePageSurviveAsUtf8) {
    const QString path = QStringLiteral("/home/\u0438\u0433\u0440\u0430/\u00C4rger/data");
    {
        IniFile ini(Path());
        ini.WriteString(S("Main"), S("LastFolder"), path);
        ini.WriteString(S("Main"), S("Grindle"), S("/opt/\xC4/grindle"));
        ASSERT_TRUE(ini.Flush());
    }
    EXPECT_EQ(Contents(),
              "\xEF\xBB\xBF" +
                  (S("[Main]\r\nLastFolder=") + path + S("\r\nGrindle=/opt/\xC4/grindle\r\n")).toUtf8());
    IniFile again(Path());
    EXPECT_EQ(again.ReadString(S("Main"), S("LastFolder"), QString()), path);
    EXPECT_EQ(again.ReadString(S("Main"), S("Grindle"), QString()), S("/opt/\xC4/grindle"));
    // Text that fits the code page stays code page 1252, as the Windows program wrote it.
    again.WriteString(S("Main"), S("LastFolder"), S("/d/\xC4"));
    ASSERT_TRUE(again.Flush());
    EXPECT_TRUE(Contents().startsWith("[Main]\r\nLastFolder=/d/\xC4\r\n"));
    EXPECT_EQ(IniFile(Path()).ReadString(S("Main"), S("LastFolder"), QString()), S("/d/\xC4"));
}

TEST_F(IniFileTest, WritingKeepsEverythingElse) {
    Write("; settings\n"
          "Stray=1\n"
          "[Main]\n"
          "  Top = 5  \n"
          "Width=900\n"
          "just text\n"
          "\n"
          "[Font]\n"
          "Name=Arial\n"
          "[main]\n"
          "Top=99\n");
    IniFile ini(Path());
    ini.WriteInteger(S("MAIN"), S("TOP"), 7);             // in place, spelling kept
    ini.WriteString(S("Main"), S("Grindle"), S("/g"));    // after the last key of [Main]
    ini.WriteString(S("Main"), S("LastFolder"), S("/d")); // after that one
    ini.WriteBool(S("Font"), S("Bold"), true);
    ini.WriteString(S("New"), S("Key"), S("v")); // a new section at the end
    ini.WriteString(S("Font"), S("Name"), S("Courier New"));
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Contents(), QByteArray("; settings\r\n"
                                     "Stray=1\r\n"
                                     "[Main]\r\n"
                                     "Top=7\r\n"
                                     "Width=900\r\n"
                                     "Grindle=/g\r\n"
                                     "LastFolder=/d\r\n"
                                     "just text\r\n"
                                     "\r\n"
                                     "[Font]\r\n"
                                     "Name=Courier New\r\n"
                                     "Bold=1\r\n"
                                     "[main]\r\n"
                                     "Top=99\r\n"
                                     "[New]\r\n"
                                     "Key=v\r\n"));
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 0), 7);
    EXPECT_EQ(ini.ReadString(S("New"), S("Key"), S("")), S("v"));
}

TEST_F(IniFileTest, NewKeyOfASectionWithoutKeysFollowsItsHeader) {
    Write("[Empty]\nno key here\n[Next]\nx=1\n");
    IniFile ini(Path());
    ini.WriteString(S("empty"), S("k"), S("v"));
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(Contents(), QByteArray("[Empty]\r\nk=v\r\nno key here\r\n[Next]\r\nx=1\r\n"));
}

TEST_F(IniFileTest, ALineBreakInAValueCannotStartAnotherKey) {
    IniFile ini(Path());
    ini.WriteString(S("Main"), S("Grindle"), S("a\r\n[Evil]\nx=1"));
    ASSERT_TRUE(ini.Flush());
    const IniFile back(Path());
    EXPECT_EQ(back.ReadString(S("Evil"), S("x"), S("none")), S("none"));
    EXPECT_EQ(back.ReadString(S("Main"), S("Grindle"), S("")), S("a  [Evil] x=1"));
}

TEST_F(IniFileTest, FlushFailsInAReadOnlyFolder) {
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/Kestrelbench.ini");
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // A privileged user writes anyway; then there is nothing to check.
    QFile probe(folder + QStringLiteral("/probe"));
    const bool writable = probe.open(QIODevice::WriteOnly);
    probe.close();
    probe.remove();
    if (writable) {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "the folder stays writable for this user";
    }
    IniFile ini(path);
    ini.WriteInteger(S("Main"), S("Top"), 1);
    EXPECT_FALSE(ini.Flush());
    EXPECT_FALSE(QFile::exists(path));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(IniFileTest, MalformedFilesNeverBreakReading) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray garbage;
    for (int i = 0; i < 200000; ++i)
        garbage.append(static_cast<char>(byte(rng)));
    const char head[] = "[\n]\n[]\n=\n==\n[Main\n[Main]]\n\r\r\n\0\0=\0\n";
    const QByteArray odd = QByteArray(head, sizeof head - 1) + QByteArray(1 << 20, 'x') +
                           "\n[Main]\nTop=" + QByteArray(100000, '9') + "\n";
    for (const QByteArray &bytes :
         {garbage, odd, QByteArray(50000, '\n'), QByteArray("no sections=1\nat=all")}) {
        Write(bytes);
        IniFile ini(Path());
        EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 3), 3);
        EXPECT_EQ(ini.ReadString(S("X"), S("Y"), S("d")), S("d"));
        ini.WriteInteger(S("Main"), S("Width"), 5);
        EXPECT_TRUE(ini.Flush());
        EXPECT_EQ(IniFile(Path()).ReadInteger(S("Main"), S("Width"), 0), 5);
    }
}

TEST_F(IniFileTest, TheMarkAloneDecidesTheEncoding) {
    // "Ã©" in code page 1252 is the two bytes C3 A9, which are also valid UTF-8 for "é".
    const QString folder = QString::fromUtf16(u"/data/\u00C3\u00A9/grindle");
    Write("[Main]\r\nGrindle=/data/\xC3\xA9/grindle\r\n");
    EXPECT_EQ(IniFile(Path()).ReadString(S("Main"), S("Grindle"), QString()), folder);
    // Two starts and two closes: the path must come back unchanged each time.
    for (int cycle = 0; cycle < 2; ++cycle) {
        IniFile ini(Path());
        EXPECT_EQ(ini.ReadString(S("Main"), S("Grindle"), QString()), folder) << "cycle " << cycle;
        ini.WriteString(S("Main"), S("Grindle"), ini.ReadString(S("Main"), S("Grindle"), QString()));
        ini.WriteInteger(S("Main"), S("Top"), cycle);
        ASSERT_TRUE(ini.Flush());
        // It fits the code page, so it stays code page 1252 without a mark.
        EXPECT_EQ(Contents(), QByteArray("[Main]\r\nGrindle=/data/\xC3\xA9/grindle\r\nTop=") +
                                  QByteArray::number(cycle) + "\r\n");
    }
    EXPECT_EQ(IniFile(Path()).ReadString(S("Main"), S("Grindle"), QString()), folder);

    // With the mark the same bytes are UTF-8; an invalid sequence does not make it code page 1252.
    Write("\xEF\xBB\xBF[Main]\r\nGrindle=/data/\xC3\xA9\r\nBad=\xE9\r\n");
    const IniFile marked(Path());
    EXPECT_EQ(marked.ReadString(S("Main"), S("Grindle"), QString()), QString::fromUtf16(u"/data/\u00E9"));
    EXPECT_EQ(marked.ReadString(S("Main"), S("Bad"), QString()), QString(QChar::ReplacementCharacter));
}

TEST_F(IniFileTest, TextThatLooksLikeTheMarkIsKept) {
    // A code page 1252 file that begins with the three characters the mark's bytes stand for.
    const QString odd = QString::fromUtf16(u"\u00EF\u00BB\u00BFStray=1");
    Write(EncodeSettingsText(odd + S("\r\n[Main]\r\nTop=1\r\n")));
    EXPECT_TRUE(Contents().startsWith("\xEF\xBB\xBF\xC3\xAF"));
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 0), 1);
    ini.WriteInteger(S("Main"), S("Top"), 2);
    ASSERT_TRUE(ini.Flush());
    EXPECT_EQ(DecodeSettingsText(Contents()), odd + S("\r\n[Main]\r\nTop=2\r\n"));
}

TEST_F(IniFileTest, WritesToAHugeFileDoNotRescanIt) {
    // Many one-key sections, the settings' own two sections among them: every write, of a new
    // key or a new value, must cost work for that key, not for the whole file again.
    constexpr int kSections = 20000;
    QByteArray bytes;
    for (int i = 0; i < kSections; ++i) {
        bytes += "[S" + QByteArray::number(i) + "]\r\nk=" + QByteArray::number(i) + "\r\n";
        if (i == kSections / 2)
            bytes += "[Main]\r\nTop=1\r\n";
    }
    bytes += "[Font]\r\nName=Arial\r\n";
    Write(bytes);
    IniFile ini(Path());
    const qint64 loaded = ini.linesExamined();
    EXPECT_LE(loaded, 2 * kSections + 4);
    for (const char *key :
         {"Maximized", "Top", "Left", "Width", "Height", "Grindle", "UCSPath", "LastFolder"})
        ini.WriteString(S("Main"), S(key), S("1"));
    for (const char *key :
         {"Name", "Size", "Charset", "Color", "Height", "Bold", "Italic", "Underline", "StrikeOut"})
        ini.WriteString(S("Font"), S(key), S("2"));
    ini.WriteString(S("Added"), S("x"), S("3"));
    ini.WriteString(S("Added"), S("y"), S("4"));
    // Two sections indexed once each; a handful of lookups on top.
    EXPECT_LE(ini.linesExamined() - loaded, 100);
    ASSERT_TRUE(ini.Flush());

    const QByteArray written = Contents();
    // Everything else stays as it was.
    EXPECT_TRUE(written.startsWith(bytes.left(bytes.indexOf("[Main]"))));
    EXPECT_TRUE(written.contains("[Main]\r\nTop=1\r\nMaximized=1\r\nLeft=1\r\nWidth=1\r\nHeight=1\r\n"
                                 "Grindle=1\r\nUCSPath=1\r\nLastFolder=1\r\n[S10001]\r\n"));
    EXPECT_TRUE(
        written.endsWith("[Font]\r\nName=2\r\nSize=2\r\nCharset=2\r\nColor=2\r\nHeight=2\r\n"
                         "Bold=2\r\nItalic=2\r\nUnderline=2\r\nStrikeOut=2\r\n[Added]\r\nx=3\r\ny=4\r\n"));
    const IniFile back(Path());
    EXPECT_EQ(back.ReadInteger(S("S19999"), S("k"), 0), 19999);
    EXPECT_EQ(back.ReadInteger(S("s0"), S("K"), -1), 0);
    EXPECT_EQ(back.ReadInteger(S("Added"), S("y"), 0), 4);
}

TEST_F(IniFileTest, WhatIsReadBeforeAFlushIsWhatTheFileHoldsAfterIt) {
    // Writes are kept beside the text until Flush: reads in between must see them exactly as
    // a fresh reading of the flushed file does, for every mix of sections and keys.
    std::mt19937 rng(11);
    const QStringList sections = {S("Main"), S(" main "), S("Font"), S("Other"), S("New"), S("[x]"), S("")};
    const QStringList keys = {S("Top"), S("TOP"), S(" a "), S("b=c"), S("b"), S(";c"), S("")};
    for (int round = 0; round < 40; ++round) {
        Write("pre=0\n[Main]\nTop=5\nfree text\n[Font]\n[main]\nTop=9\n[Other]\nb=1\nb=2\n");
        IniFile ini(Path());
        for (int step = 0; step < 12; ++step) {
            const QString section = sections.at(int(rng() % sections.size()));
            const QString key = keys.at(int(rng() % keys.size()));
            ini.WriteString(section, key, QString::number(round * 100 + step) + S(" \"q\" "));
        }
        ASSERT_TRUE(ini.Flush());
        const IniFile fresh(Path());
        for (const QString &section : sections) {
            for (const QString &key : keys) {
                EXPECT_EQ(ini.ReadString(section, key, S("none")), fresh.ReadString(section, key, S("none")))
                    << "round " << round << " [" << qPrintable(section) << "] " << qPrintable(key);
            }
        }
        // What was written last to a plain key reads back.
        ini.WriteString(S("Other"), S("b"), S("last"));
        EXPECT_EQ(ini.ReadString(S("OTHER"), S("B"), QString()), S("last"));
    }
}

#ifdef Q_OS_UNIX
TEST_F(IniFileTest, ASpecialFileInItsPlaceReadsAsMissingAndIsNotReplaced) {
    FifoGuard guard(Path());
    ASSERT_TRUE(guard.made());
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger(S("Main"), S("Top"), 3), 3);
    ini.WriteInteger(S("Main"), S("Top"), 1);
    EXPECT_FALSE(ini.Flush());
    EXPECT_FALSE(guard.finish()) << "the FIFO was opened";
    EXPECT_FALSE(QFileInfo(Path()).isFile());
    // A link to a device: read as missing, and the device is left alone.
    const QString link = dir.filePath(QStringLiteral("linked.ini"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    IniFile linked(link);
    linked.WriteInteger(S("Main"), S("Top"), 1);
    EXPECT_FALSE(linked.Flush());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}
#endif
