// Conversions from file to file as the program makes them: read and written in pieces, so that
// pieces far smaller than a line or a table must give the bytes of a conversion in memory, and a
// problem found after pieces were written must still leave the folder as it was.
#include "converter.h"
#include "file_io.h"
#include "generator.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "text_reader.h"
#include "text_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace grindle;

namespace {

class ConvertFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("grindle-pieces-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
                std::to_string(static_cast<long>(getpid())));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string read(const fs::path &p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write(const fs::path &p, const std::string &bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::set<std::string> names() const {
        std::set<std::string> n;
        for (const auto &e : fs::directory_iterator(dir_))
            n.insert(e.path().filename().string());
        return n;
    }

    fs::path dir_;
};

std::string rbfInMemory(const std::string &text) {
    Value root;
    EXPECT_EQ(readText(text, root), "");
    return writeRbf(root);
}

} // namespace

TEST_F(ConvertFile, SmallPiecesGiveTheBytesOfAConversionInMemory) {
    const std::string text = generateText(3000, "unit.rbf");
    const std::string rbf = rbfInMemory(text);
    // LF alone, a line longer than every small piece, and no line break at the end.
    std::string edited = text;
    for (std::size_t at = edited.find("\r\n"); at != std::string::npos; at = edited.find("\r\n", at))
        edited.erase(at, 1);
    edited.insert(edited.find("{\n") + 2, "| note: \"" + std::string(300, 'x') + "\";\n");
    edited.pop_back();
    const std::string editedRbf = rbfInMemory(edited);

    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{64}, kPieceSize}) {
        SCOPED_TRACE("piece of " + std::to_string(piece) + " bytes");
        write(dir_ / "unit.txt", text);
        ASSERT_EQ(convertFile(dir_ / "unit.txt", piece).message, "");
        EXPECT_TRUE(read(dir_ / "unit.rbf") == rbf) << "RBF differs from the one made in memory";
        fs::remove(dir_ / "unit.txt");
        ASSERT_EQ(convertFile(dir_ / "unit.rbf", piece).message, "");
        EXPECT_TRUE(read(dir_ / "unit.txt") == text) << "text differs after the round trip";
        EXPECT_EQ(names(), (std::set<std::string>{"unit.rbf", "unit.txt"}));

        write(dir_ / "edited.txt", edited);
        ASSERT_EQ(convertFile(dir_ / "edited.txt", piece).message, "");
        EXPECT_TRUE(read(dir_ / "edited.rbf") == editedRbf);
        fs::remove(dir_ / "edited.txt");
        fs::remove(dir_ / "edited.rbf");
    }
}

TEST_F(ConvertFile, AProblemFoundAfterPiecesWereWrittenLeavesTheFolderAsItWas) {
    std::string text = generateText(3000, "unit.rbf");
    const std::string rbf = rbfInMemory(text);
    text.replace(text.rfind(";\r\n", text.size() - 20), 1, " oops;");
    Value ignored;
    const std::string textProblem = readText(text, ignored);
    ASSERT_EQ(textProblem.rfind("line 29", 0), 0u) << textProblem; // in the last lines
    const std::string cut = rbf.substr(0, rbf.size() - 1);
    const std::string rbfProblem = readRbf(cut, ignored);

    write(dir_ / "unit.txt", text);
    write(dir_ / "unit.rbf", "keep me");
    Outcome o = convertFile(dir_ / "unit.txt", 16);
    EXPECT_EQ(o.exitCode, kExitBadInput);
    EXPECT_EQ(o.subject, dir_ / "unit.txt");
    EXPECT_EQ(o.message, textProblem);
    EXPECT_EQ(read(dir_ / "unit.rbf"), "keep me");

    write(dir_ / "unit.rbf", cut);
    write(dir_ / "unit.txt", "keep me");
    o = convertFile(dir_ / "unit.rbf", 16);
    EXPECT_EQ(o.exitCode, kExitBadInput);
    EXPECT_EQ(o.message, rbfProblem);
    EXPECT_EQ(read(dir_ / "unit.txt"), "keep me");
    EXPECT_EQ(names(), (std::set<std::string>{"unit.rbf", "unit.txt"}));

    // An output that cannot be made: a problem of the input is still told first.
    fs::remove(dir_ / "unit.txt");
    fs::create_directory(dir_ / "unit.txt");
    EXPECT_EQ(convertFile(dir_ / "unit.rbf", 16).exitCode, kExitBadInput);
    write(dir_ / "unit.rbf", rbf);
    o = convertFile(dir_ / "unit.rbf", 16);
    EXPECT_EQ(o.exitCode, kExitWriteFailed);
    EXPECT_EQ(o.subject, dir_ / "unit.txt");
    EXPECT_EQ(names(), (std::set<std::string>{"unit.rbf", "unit.txt"}));
}

// An RBF file is read in pieces too: whatever piece a length, key or string straddles, a cut or a
// damaged file gets the message of reading it whole, and a whole one the same text.
TEST_F(ConvertFile, RbfPiecesGiveTheMessagesAndTextOfReadingItWhole) {
    Value root = Value::makeTable();
    root.members.push_back({"flag", Value::makeBool(true)});
    root.members.push_back({"long string", Value::makeString(std::string(40, 's'))});
    // The longest key and strings read with fixed-size loads, and the shortest that are not.
    root.members.push_back({"sixteen byte key", Value::makeString("sixteen byte str")});
    root.members.push_back({"seventeen byte ke", Value::makeString("seventeen byte st")});
    Value table = Value::makeTable();
    table.members.push_back({"n", Value::makeInt(-7)});
    table.members.push_back({"speed", Value::makeFloat(2.5f)});
    root.members.push_back({"a table", table});
    const std::string rbf = writeRbf(root);
    const std::string text = writeText(root, "unit.rbf");
    std::string damaged = rbf;
    damaged[rbf.find("speed") + 5] = 9; // an unknown type, in the last member

    // Pieces from 25 bytes on hold whole short members, which are then read without a refill.
    for (const std::size_t piece : {1, 5, 9, 16, 25, 31, 48}) {
        SCOPED_TRACE("piece of " + std::to_string(piece) + " bytes");
        write(dir_ / "unit.rbf", rbf);
        ASSERT_EQ(convertFile(dir_ / "unit.rbf", piece).message, "");
        EXPECT_EQ(read(dir_ / "unit.txt"), text);
        for (std::size_t size = 1; size <= rbf.size() + 1; ++size) {
            const std::string bytes = size <= rbf.size() ? rbf.substr(0, size - 1) : rbf + "x";
            Value ignored;
            write(dir_ / "unit.rbf", bytes);
            EXPECT_EQ(convertFile(dir_ / "unit.rbf", piece).message, readRbf(bytes, ignored)) << size - 1;
        }
        write(dir_ / "unit.rbf", damaged);
        Value ignored;
        EXPECT_EQ(convertFile(dir_ / "unit.rbf", piece).message, readRbf(damaged, ignored));
    }

    // A file that changes after it was opened is refused, shorter or longer.
    for (const std::string &now : {rbf.substr(0, rbf.size() - 3), rbf + "more"}) {
        write(dir_ / "unit.rbf", rbf);
        InputFile file;
        ASSERT_EQ(file.open(dir_ / "unit.rbf"), "");
        write(dir_ / "unit.rbf", now);
        Value tree;
        TreeBuilder builder(tree);
        EXPECT_NE(readRbf(file, builder, 4).find("the file changed while it was read"), std::string::npos);
    }
}
