// Parts of a path: file name, extension, folder, and changing the extension.

#include "platform/file_names.h"

#include <gtest/gtest.h>

namespace {
QString S(const char *text) {
    return QString::fromUtf8(text);
}
} // namespace

TEST(FileNames, NameAndFolderSplitAtTheLastSeparator) {
    EXPECT_EQ(ExtractFileName(S("/home/u/data/unit.rbf")), S("unit.rbf"));
    EXPECT_EQ(ExtractFilePath(S("/home/u/data/unit.rbf")), S("/home/u/data/"));
    EXPECT_EQ(ExtractFileName(S("C:\\My Data\\unit.rbf")), S("unit.rbf"));
    EXPECT_EQ(ExtractFilePath(S("C:\\My Data\\unit.rbf")), S("C:\\My Data\\"));
    EXPECT_EQ(ExtractFileName(S("C:\\a/b\\c")), S("c"));
    EXPECT_EQ(ExtractFilePath(S("a/b\\c")), S("a/b\\"));
    EXPECT_EQ(ExtractFileName(S("/")), S(""));
    EXPECT_EQ(ExtractFilePath(S("/")), S("/"));
    EXPECT_EQ(ExtractFileName(S("dir/")), S(""));
}

TEST(FileNames, NoFolderGivesEmptyPath) {
    EXPECT_EQ(ExtractFilePath(S("unit.rbf")), S(""));
    EXPECT_EQ(ExtractFileName(S("unit.rbf")), S("unit.rbf"));
    EXPECT_EQ(ExtractFilePath(S("")), S(""));
    EXPECT_EQ(ExtractFileName(S("")), S(""));
}

TEST(FileNames, OnlyADriveColonEndsTheFolder) {
    EXPECT_EQ(ExtractFilePath(S("C:unit.rbf")), S("C:"));
    EXPECT_EQ(ExtractFileName(S("C:unit.rbf")), S("unit.rbf"));
    // Elsewhere a colon is part of the name, as file systems here allow it.
    EXPECT_EQ(ExtractFileName(S("/d/10:30 unit.rbf")), S("10:30 unit.rbf"));
    EXPECT_EQ(ExtractFilePath(S("ab:c")), S(""));
}

TEST(FileNames, ExtensionStartsAtTheLastDotOfTheName) {
    EXPECT_EQ(ExtractFileExt(S("/a/unit.rbf")), S(".rbf"));
    EXPECT_EQ(ExtractFileExt(S("/a/unit.tar.gz")), S(".gz"));
    EXPECT_EQ(ExtractFileExt(S("/a/unit.")), S("."));
    EXPECT_EQ(ExtractFileExt(S("/a.d/unit")), S(""));
    EXPECT_EQ(ExtractFileExt(S("C:\\a.d\\unit")), S(""));
    EXPECT_EQ(ExtractFileExt(S("/a/.hidden")), S(".hidden"));
    EXPECT_EQ(ExtractFileExt(S("")), S(""));
}

TEST(FileNames, ChangeFileExtKeepsFolderAndBaseName) {
    EXPECT_EQ(ChangeFileExt(S("/d/My Data/unit.rbf"), S(".txt")), S("/d/My Data/unit.txt"));
    EXPECT_EQ(ChangeFileExt(S("C:\\Data\\Üni.v2.RBF"), S(".txt")), S("C:\\Data\\Üni.v2.txt"));
    EXPECT_EQ(ChangeFileExt(S("/d.x/unit"), S(".txt")), S("/d.x/unit.txt"));
    EXPECT_EQ(ChangeFileExt(S("/d/unit.txt"), S(".rbf")), S("/d/unit.rbf"));
    EXPECT_EQ(ChangeFileExt(S("/d/unit.rbf"), S("")), S("/d/unit"));
}
