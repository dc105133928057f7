// Reading binary RBF: the layout, and every way a damaged or hostile file is refused safely.
#include "allocation_probe.h"
#include "rbf_reader.h"
#include "rbf_writer.h"

#include <gtest/gtest.h>

#include <vector>

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
                const auto agree = [&s, size, at, b] {
                    ASSERT_EQ(keyIsAcceptable(s), keyProblem(s).empty())
                        << size << " " << at << " " << int(b);
                    ASSERT_EQ(stringIsAcceptable(s), stringProblem(s).empty())
                        << size << " " << at << " " << int(b);
                    if (size > detail::kPaddedSize || !detail::littleEndian())
                        return;
                    // Followed by bytes that either check would refuse.
                    for (const char after : {'\0', ':', '\n', ' '}) {
                        const std::string padded = s + std::string(detail::kPaddedSize, after);
                        ASSERT_EQ(paddedKeyIsAcceptable(padded.data(), size), keyProblem(s).empty())
                            << size << " " << at << " " << int(b) << " " << int(after);
                        ASSERT_EQ(paddedStringIsAcceptable(padded.data(), size), stringProblem(s).empty())
                            << size << " " << at << " " << int(b) << " " << int(after);
                    }
                };
                agree();
                if (size >= 2 && at == 0) {
                    s[1] = ' '; // "| ", ": ", "  " and the like at the start
                    agree();
                }
            }
        }
    }
}

// Keys and strings of up to 16 bytes are checked in two words that reach past their end (into the
// type, a control character itself, or the next key's length, here 10: a line feed): a bad byte
// anywhere in them is still refused, at its key or string, and none past them is.
TEST(RbfReader, ShortKeysAndStringsAreCheckedToTheirLastByte) {
    // Enough bytes behind the member for the word-wise way to be taken, bad ones for either check.
    const std::string next = member("ten bytes:", 1, "\x01");
    const auto read = [&next](const std::string &first) {
        return problemOf(kHeader + u32(2) + first + next);
    };
    const auto keyed = [](const std::string &key) {
        return std::vector<std::string>{member(key, 1, "\x01"), member(key, 2, u32(7)),
                                        member(key, 3, u32(0)), member(key, 4, u32(2) + "ok"),
                                        member(key, 5, u32(0))};
    };
    for (std::size_t size = 1; size <= 17; ++size) {
        for (const std::string &good : keyed(std::string(size, 'k')))
            EXPECT_EQ(read(good),
                      "offset " + std::to_string(kHeader.size() + 4 + good.size()) + ": ':' in key")
                << size; // that of the member after it
        for (std::size_t at = 0; at < size; ++at) {
            for (const char bad : {'\x01', '\x1F', ':'}) {
                std::string key(size, 'k');
                key[at] = bad;
                for (const std::string &value : keyed(key))
                    EXPECT_EQ(read(value).rfind("offset 12: ", 0), 0u)
                        << size << " " << at << " " << int(bad);
            }
        }
    }
    const std::size_t textAt = kHeader.size() + 4 + 4 + 1 + 1;
    for (std::size_t size = 0; size <= 17; ++size) {
        const std::string fine =
            member("s", 4, u32(static_cast<std::uint32_t>(size)) + std::string(size, 'x'));
        EXPECT_EQ(read(fine).rfind("offset " + std::to_string(textAt + size + 4) + ": ':' in key", 0), 0u)
            << size;
        for (std::size_t at = 0; at < size; ++at) {
            for (const char bad : {'\r', '\n'}) {
                std::string text(size, 'x');
                text[at] = bad;
                const std::string value = member("s", 4, u32(static_cast<std::uint32_t>(size)) + text);
                EXPECT_EQ(read(value), "offset " + std::to_string(textAt) + ": line break in string")
                    << size << " " << at;
            }
        }
    }
}
