// The built grindle program run as a process, as the editor runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "generator.h"

namespace fs = std::filesystem;

namespace {

const std::string kSampleText = "RBF file: unit.rbf\r\n{\r\n| name: \"Marine\";\r\n| weapons: {\r\n"
                                "| | damage: 12;\r\n| }\r\n}\r\n";

std::string readFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path &p, const std::string &bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

std::set<std::string> namesIn(const fs::path &dir) {
    std::set<std::string> names;
    for (const auto &e : fs::directory_iterator(dir))
        names.insert(e.path().filename().u8string());
    return names;
}

std::string quoted(const std::string &s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class GrindleCli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("grindle-cli-") + info->name() + "-" +
                                            std::to_string(static_cast<long>(getpid())));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Arguments go through the shell quoted, so each one arrives whole, blanks and all.
    RunResult run(const std::vector<std::string> &args) {
        std::string command = quoted(KESTREL_BUILD_DIR "/grindle");
        for (const std::string &a : args)
            command += " " + quoted(a);
        const fs::path out = dir_.parent_path() / (dir_.filename().u8string() + ".out");
        const fs::path err = dir_.parent_path() / (dir_.filename().u8string() + ".err");
        command += " >" + quoted(out.u8string()) + " 2>" + quoted(err.u8string());
        const int status = std::system(command.c_str());
        RunResult r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = readFile(out);
        r.err = readFile(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    // A failed run: non-zero exit, one line on stderr naming `subject`, and the folder exactly as
    // before (no output, no leftover temporary file, every file's bytes the same).
    void expectRefused(const std::vector<std::string> &args, const std::string &subject, const char *what) {
        const auto before = snapshot();
        const RunResult r = run(args);
        EXPECT_NE(r.exitCode, 0) << what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << ": " << r.err;
        EXPECT_NE(r.err.find(subject), std::string::npos) << what << ": " << r.err;
        EXPECT_EQ(snapshot(), before) << what;
    }

    // Every name in the test folder with the bytes of the files among them.
    std::vector<std::pair<std::string, std::string>> snapshot() const {
        std::vector<std::pair<std::string, std::string>> entries;
        for (const std::string &name : namesIn(dir_)) {
            const fs::path p = dir_ / fs::u8path(name);
            entries.emplace_back(name, fs::is_regular_file(p) ? readFile(p) : "<folder>");
        }
        return entries;
    }

    fs::path dir_;
};

} // namespace

TEST_F(GrindleCli, ConvertsBothWaysInAFolderWithBlanksAndAccents) {
    const fs::path folder = dir_ / fs::u8path(u8"Mäin Dätä ü");
    fs::create_directories(folder);
    const fs::path txt = folder / fs::u8path(u8"Éinheit 1.txt");
    writeFile(txt, kSampleText);

    RunResult r = run({"-q", "-i", txt.u8string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const fs::path rbf = folder / fs::u8path(u8"Éinheit 1.rbf");
    ASSERT_TRUE(fs::exists(rbf));
    const std::string rbfBytes = readFile(rbf);

    fs::remove(txt);
    r = run({"-i", rbf.u8string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("wrote"), std::string::npos); // not quiet
    // The heading shows the name in code page 1252.
    EXPECT_EQ(readFile(txt), "RBF file: \xC9inheit 1.rbf" + kSampleText.substr(kSampleText.find("\r\n")));
    EXPECT_EQ(readFile(rbf), rbfBytes);
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{u8"Éinheit 1.rbf", u8"Éinheit 1.txt"}));
}

TEST_F(GrindleCli, ExtensionsInAnyCaseAndReplacingAnOldOutput) {
    writeFile(dir_ / "UNIT.TXT", kSampleText);
    writeFile(dir_ / "UNIT.rbf", "old contents");
    EXPECT_EQ(run({"-q", "-i", (dir_ / "UNIT.TXT").u8string()}).exitCode, 0);
    EXPECT_EQ(readFile(dir_ / "UNIT.rbf").substr(0, 4), "KRBF");
    EXPECT_EQ(run({"-q", "-i", (dir_ / "UNIT.rbf").u8string()}).exitCode, 0);
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"UNIT.TXT", "UNIT.rbf", "UNIT.txt"}));
}

#ifndef _WIN32
// The output is written beside and renamed over the old file; the old file's mode must survive.
TEST_F(GrindleCli, ReplacedOutputKeepsItsMode) {
    writeFile(dir_ / "unit.txt", kSampleText);
    const std::vector<std::pair<const char *, fs::perms>> modes = {
        {"read-only", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read},
        {"private", fs::perms::owner_read | fs::perms::owner_write},
        {"shared", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                       fs::perms::group_write | fs::perms::others_read | fs::perms::others_write}};
    for (const auto &[what, mode] : modes) {
        writeFile(dir_ / "unit.rbf", "old contents");
        fs::permissions(dir_ / "unit.rbf", mode, fs::perm_options::replace);
        EXPECT_EQ(run({"-q", "-i", (dir_ / "unit.txt").u8string()}).exitCode, 0) << what;
        EXPECT_EQ(readFile(dir_ / "unit.rbf").substr(0, 4), "KRBF") << what;
        EXPECT_EQ(fs::status(dir_ / "unit.rbf").permissions(), mode) << what;
        fs::permissions(dir_ / "unit.rbf", fs::perms::owner_all, fs::perm_options::add);
    }
}

// The editor stops a conversion that takes too long (SIGTERM). The output is written as it is
// made, to a temporary file: a stop must take that file with it and leave the folder as it was.
TEST_F(GrindleCli, AStoppedConversionLeavesNothingBehind) {
    writeFile(dir_ / "big.txt", grindle::generateText(1'000'000, "big.rbf"));
    const auto temporaries = [this] {
        int n = 0;
        for (const std::string &name : namesIn(dir_))
            n += name.rfind(".grindle-", 0) == 0 ? 1 : 0;
        return n;
    };
    const std::string program = KESTREL_BUILD_DIR "/grindle";
    const std::string input = (dir_ / "big.txt").u8string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(program.c_str(), program.c_str(), "-q", "-i", input.c_str(), static_cast<char *>(nullptr));
        _exit(127);
    }
    // Stopped while it writes, if it is seen writing at all.
    int status = 0;
    pid_t ended = 0;
    while (temporaries() == 0 && (ended = waitpid(child, &status, WNOHANG)) == 0) {
    }
    if (ended == 0) {
        kill(child, SIGTERM);
        waitpid(child, &status, 0);
    }
    EXPECT_EQ(temporaries(), 0);
    if (WIFSIGNALED(status)) {
        EXPECT_EQ(WTERMSIG(status), SIGTERM);
        // Stopped before its output took the target's name: no output. A stop that lands between
        // that rename and the end of the process finds the output whole (it converts back).
        const std::set<std::string> names = namesIn(dir_);
        if (names.count("big.rbf")) {
            EXPECT_EQ(names, (std::set<std::string>{"big.txt", "big.rbf"}));
            const std::string text = readFile(dir_ / "big.txt");
            fs::remove(dir_ / "big.txt");
            ASSERT_EQ(run({"-q", "-i", (dir_ / "big.rbf").u8string()}).exitCode, 0);
            EXPECT_TRUE(readFile(dir_ / "big.txt") == text);
        } else {
            EXPECT_EQ(names, std::set<std::string>{"big.txt"});
        }
    } else {
        EXPECT_EQ(WEXITSTATUS(status), 0); // it was done before the stop
    }
}
#endif

TEST_F(GrindleCli, GeneratedTextConvertsBackToItself) {
    const fs::path txt = dir_ / "big.txt";
    ASSERT_EQ(run({"--generate", "20000", txt.u8string()}).exitCode, 0);
    const std::string text = readFile(txt);
    ASSERT_EQ(run({"-q", "-i", txt.u8string()}).exitCode, 0);
    fs::remove(txt);
    ASSERT_EQ(run({"-q", "-i", (dir_ / "big.rbf").u8string()}).exitCode, 0);
    EXPECT_TRUE(readFile(txt) == text);
}

TEST_F(GrindleCli, BadInputChangesNothing) {
    const struct {
        const char *name;
        std::string bytes;
        const char *what;
    } inputs[] = {
        {"broken.txt", "RBF file: broken.rbf\r\n{\r\n| a: 1;\r\n| b: oops;\r\n}\r\n", "line 4"},
        {"truncated.rbf", std::string("KRBF\x01\0\0\0\x02\0\0\0", 12), "truncated"},
        {"garbage.rbf", "this is no RBF file at all", "garbage"},
        {"absurd.rbf", std::string("KRBF\x01\0\0\0\xFF\xFF\xFF\xFF\x01\0\0\0a\x01\x01", 19), "absurd count"},
        {"unit.dat", kSampleText, "unknown extension"},
    };
    for (const auto &input : inputs) {
        const fs::path path = dir_ / input.name;
        writeFile(path, input.bytes);
        expectRefused({"-q", "-i", path.u8string()}, path.u8string(), input.what);
        // The same with an older output already there.
        const fs::path other = path.extension() == ".txt" ? fs::path(path).replace_extension(".rbf")
                                                          : fs::path(path).replace_extension(".txt");
        writeFile(other, "keep me");
        expectRefused({"-q", "-i", path.u8string()}, path.u8string(), input.what);
    }
    // The one line that the editor reads: the file, then where and what was expected.
    EXPECT_EQ(run({"-q", "-i", (dir_ / "broken.txt").u8string()}).err,
              "grindle: " + (dir_ / "broken.txt").u8string() +
                  ": line 4, column 6: expected a number, true, false or a \"string\", found \"oops\"\n");
}

TEST_F(GrindleCli, MissingFilesArgumentsAndUnwritableOutputs) {
    const fs::path missing = dir_ / "missing unit.rbf";
    expectRefused({"-q", "-i", missing.u8string()}, missing.u8string(), "missing file");
    expectRefused({}, "-i", "no arguments");
    expectRefused({"-q", "-i"}, "-i", "no path");

    // The output's name is taken by a folder: the message names the output, and no temporary
    // file stays behind.
    writeFile(dir_ / "unit.txt", kSampleText);
    fs::create_directory(dir_ / "unit.rbf");
    expectRefused({"-q", "-i", (dir_ / "unit.txt").u8string()}, (dir_ / "unit.rbf").u8string(),
                  "output is a folder");
}

TEST_F(GrindleCli, HelpAndVersionPrintAndChangeNothing) {
    writeFile(dir_ / "unit.txt", kSampleText);
    const auto before = snapshot();
    // Also where a conversion would otherwise follow: the question is answered, nothing converted.
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-q", "-h", "-i", (dir_ / "unit.txt").u8string()}}) {
        const RunResult help = run(args);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_NE(help.out.find("usage: grindle"), std::string::npos) << help.out;
        EXPECT_NE(help.out.find("--version"), std::string::npos) << help.out;
        EXPECT_TRUE(help.err.empty()) << help.err;
    }
    const RunResult version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "grindle " KESTREL_VERSION_FOR_TESTS "\n");
    EXPECT_EQ(snapshot(), before);
}
