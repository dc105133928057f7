// Reading binary RBF: the layout, and every way a damaged or hostile file is refused safely.
#include "allocation_probe.h"
#include "rbf_reader.h"
#include "rbf_writer.h"

#include <gtest/gtest.h>

using namespace grindle;

namespace {

std::string u32(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
            static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
}

const std::string kHeader = std::string("KRBF") + u32(1);

std::string member(const std::string &key, char type, const std::string &payload) {
    return u32(static_cast<std::uint32_t>(key.size())) + key + type + payload;
}

std::string problemOf(const std::string &bytes) {
    Value root;
    return readRbf(bytes, root);
}

Value everyType() {
    Value root;
    root.members.push_back({"b", Value::makeBool(true)});
    root.members.push_back({"i", Value::makeInt(-2)});
    root.members.push_back({"f", Value::makeFloat(0.5f)});
    root.members.push_back({"s", Value::makeString("x\"y")});
    Value t;
    t.members.push_back({"inner", Value::makeBool(false)});
    root.members.push_back({"t", t});
    return root;
}

} // namespace

TEST(RbfReader, LayoutIsLittleEndianAndSelfContained) {
    const std::string expected = kHeader + u32(5) + member("b", 1, "\x01") + member("i", 2, u32(0xFFFFFFFE)) +
                                 member("f", 3, u32(0x3F000000)) + member("s", 4, u32(3) + "x\"y") +
                                 member("t", 5, u32(1) + member("inner", 1, std::string(1, '\0')));
    EXPECT_EQ(writeRbf(everyType()), expected);
    Value root;
    ASSERT_EQ(readRbf(expected, root), "");
    EXPECT_EQ(root, everyType());
}

TEST(RbfReader, EveryTruncationIsRefused) {
    const std::string full = writeRbf(everyType());
    for (std::size_t n = 0; n < full.size(); ++n)
        EXPECT_NE(problemOf(full.substr(0, n)), "") << "prefix of " << n << " bytes";
    EXPECT_NE(problemOf(full + "x").find("bytes after the end"), std::string::npos);
}

TEST(RbfReader, DamagedContentIsRefusedWithItsOffset) {
    const struct {
        std::string bytes;
        const char *expected;
    } cases[] = {
        {"", "offset 0: not an RBF file"},
        {"KRBX" + u32(1) + u32(0), "offset 0: not an RBF file"},
        {"KRBF" + u32(2) + u32(0), "offset 4: unsupported RBF version 2"},
        {kHeader + u32(1) + member("a", 9, "x"), "offset 17: unknown value type 9"},
        {kHeader + u32(1) + member("a", 1, "\x02"), "offset 18: boolean byte 2"},
        {kHeader + u32(1) + member("a", 3, u32(0x7FC00000)), "offset 18: NaN"},
        {kHeader + u32(1) + member("a:b", 1, "\x01"), "offset 12: ':' in key"},
        {kHeader + u32(1) + member(" a", 1, "\x01"), "offset 12: blank at the start"},
        {kHeader + u32(1) + member("| a", 1, "\x01"), "offset 12: key starts with"},
        {kHeader + u32(1) + member("", 1, "\x01") + "pad", "offset 12: empty key"},
        {kHeader + u32(1) + member("a", 4, u32(3) + "x\ny"), "offset 18: line break in string"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problemOf(c.bytes).rfind(c.expected, 0), 0u) << problemOf(c.bytes);
}

TEST(RbfReader, AbsurdCountsAllocateNothingBig) {
    const std::string hostile[] = {
        kHeader + u32(0xFFFFFFFF) + member("a", 1, "\x01"),
        kHeader + u32(1) + u32(0xFFFFFFF0) + "abc",
        kHeader + u32(1) + member("a", 4, u32(0x7FFFFFFF) + "abc"),
        kHeader + u32(1) + member("a", 5, u32(0x10000000) + member("b", 1, "\x01")),
        kHeader + u32(3) + member("a", 1, "\x01"), // claims three, holds one
    };
    for (const std::string &bytes : hostile) {
        AllocationProbe probe;
        const std::string problem = problemOf(bytes);
        EXPECT_NE(problem, "");
        EXPECT_LT(probe.largest(), 4096u) << problem;
    }
}

TEST(RbfReader, NestingIsBounded) {
    std::string nested = u32(0);
    for (int depth = 0; depth < kMaxDepth; ++depth)
        nested = u32(1) + member("t", 5, nested);
    Value root;
    EXPECT_EQ(readRbf(kHeader + nested, root), "");
    EXPECT_NE(problemOf(kHeader + u32(1) + member("t", 5, nested)).find("nested deeper"), std::string::npos);
    // A deep chain that would overflow the stack without the bound.
    std::string bomb = kHeader;
    for (int i = 0; i < 200000; ++i)
        bomb += u32(1) + member("t", 5, "");
    EXPECT_NE(problemOf(bomb).find("nested deeper"), std::string::npos);
}

// Keys and strings are checked several bytes at a time; every length, position and byte that
// matters must get the answer of the byte-by-byte rules.
TEST(RbfReader, QuickChecksOfKeysAndStringsAgreeWithTheRules) {
    const unsigned char bytes[] = {0,   9,       10,  13,  31,  32,   33,  ':' - 1,
                                   ':', ':' + 1, '|', 127, 128, 0xBA, 0xFF};
    for (std::size_t size = 1; size <= 20; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            for (const unsigned char b : bytes) {
                std::string s(size, 'k');
                s[at] = static_cast<char>(b);
                ASSERT_EQ(keyIsAcceptable(s), keyProblem(s).empty()) << size << " " << at << " " << int(b);
                ASSERT_EQ(stringIsAcceptable(s), stringProblem(s).empty())
                    << size << " " << at << " " << int(b);
                if (size >= 2 && at == 0) {
                    s[1] = ' '; // "| ", ": ", "  " and the like at the start
                    ASSERT_EQ(keyIsAcceptable(s), keyProblem(s).empty()) << size << " " << int(b);
                }
            }
        }
    }
}

// Short keys of numbers are checked in one word that reaches into the bytes after the key (the
// type, a control character itself): a bad byte anywhere in the key is still refused, at the key.
TEST(RbfReader, ShortKeysWithABadByteAnywhereAreRefused) {
    for (std::size_t size = 1; size <= 9; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            for (const char bad : {'\x01', '\x1F', ':'}) {
                std::string key(size, 'k');
                key[at] = bad;
                for (const std::string &value : {member(key, 2, u32(7)), member(key, 1, "\x01")}) {
                    EXPECT_EQ(problemOf(kHeader + u32(1) + value).rfind("offset 12: ", 0), 0u)
                        << size << " " << at << " " << int(bad);
                }
            }
        }
        EXPECT_EQ(problemOf(kHeader + u32(1) + member(std::string(size, 'k'), 2, u32(7))), "");
    }
}
