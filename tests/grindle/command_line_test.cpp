// The two ways a command line arrives, and the file names that the text heading shows.
#include "code_page.h"
#include "command_line.h"
#include "converter.h"

#include <gtest/gtest.h>

using namespace grindle;
using Kind = Command::Kind;

TEST(CommandLine, PosixArguments) {
    Command c = parseArguments({"-q", "-i", "/my data/unit 1.rbf"});
    EXPECT_EQ(c.kind, Kind::Convert);
    EXPECT_TRUE(c.quiet);
    EXPECT_EQ(c.input.u8string(), "/my data/unit 1.rbf");

    c = parseArguments({"-q", "--generate", "1000", "out.txt"});
    EXPECT_EQ(c.kind, Kind::Generate);
    EXPECT_TRUE(c.quiet);
    EXPECT_EQ(c.lines, 1000u);

    for (const std::vector<std::string> &bad :
         std::vector<std::vector<std::string>>{{},
                                               {"-q"},
                                               {"-i"},
                                               {"-x", "-i", "a.rbf"},
                                               {"-i", "a", "b.rbf"},
                                               {"--generate", "0", "o.txt"},
                                               {"--generate", "12x", "o.txt"},
                                               {"--generate", "10"}})
        EXPECT_EQ(parseArguments(bad).kind, Kind::Error) << (bad.empty() ? "" : bad[0]);
}

TEST(CommandLine, WindowsTakesEverythingAfterDashI) {
    Command c = parseWindowsCommandLine("\"C:\\Program Files\\Grindle.exe\"  -q -i D:\\My Data\\unit.rbf");
    EXPECT_EQ(c.kind, Kind::Convert);
    EXPECT_TRUE(c.quiet);
    EXPECT_EQ(c.input.u8string(), "D:\\My Data\\unit.rbf");

    c = parseWindowsCommandLine("grindle -i  \"D:\\a b\\x -i y.txt\"");
    EXPECT_FALSE(c.quiet);
    EXPECT_EQ(c.input.u8string(), "D:\\a b\\x -i y.txt");

    c = parseWindowsCommandLine("grindle.exe --generate 50 \"out file.txt\"");
    EXPECT_EQ(c.kind, Kind::Generate);
    EXPECT_EQ(c.output.u8string(), "out file.txt");

    EXPECT_EQ(parseWindowsCommandLine("grindle.exe -q -i ").kind, Kind::Error);
    EXPECT_EQ(parseWindowsCommandLine("grindle.exe").kind, Kind::Error);
}

TEST(CommandLine, OutputBesideTheInputWithTheOtherExtension) {
    EXPECT_EQ(outputPathFor("dir/unit.rbf"), std::filesystem::path("dir/unit.txt"));
    EXPECT_EQ(outputPathFor("dir/UNIT.RBF"), std::filesystem::path("dir/UNIT.txt"));
    EXPECT_EQ(outputPathFor("a.b/unit.Txt"), std::filesystem::path("a.b/unit.rbf"));
    EXPECT_TRUE(outputPathFor("unit.dat").empty());
    EXPECT_TRUE(outputPathFor("rbf").empty());
}

TEST(CodePage, FileNamesBecomeCodePage1252) {
    EXPECT_EQ(utf8ToCp1252(u8"Müller €5 – ok.rbf"), "M\xFCller \x80"
                                                    "5 \x96 ok.rbf");
    EXPECT_EQ(utf8ToCp1252(u8"日本.rbf"), "??.rbf");
    EXPECT_EQ(utf8ToCp1252("caf\xE9.rbf"), "caf\xE9.rbf");       // not UTF-8: kept
    EXPECT_EQ(utf8ToCp1252("\xC2\x81\xC0\xAF"), "\x81\xC0\xAF"); // undefined byte kept, overlong kept
}
