// The value tree that both file forms describe: a root table of ordered, named members.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace grindle {

// Tables nested deeper than this are refused, so that neither reading nor destroying a tree can
// exhaust the stack.
constexpr int kMaxDepth = 256;

enum class ValueType : std::uint8_t { Bool = 1, Int = 2, Float = 3, String = 4, Table = 5 };

struct Member;

// One value; only the field that belongs to `type` is meaningful. Strings are kept as the bytes of
// the file (code page 1252 in practice) and never converted.
struct Value {
    ValueType type = ValueType::Table;
    bool boolean = false;
    std::int32_t integer = 0;
    float real = 0.0f;
    std::string text;
    std::vector<Member> members; // in file order; keys may repeat

    static Value makeBool(bool v);
    static Value makeInt(std::int32_t v);
    static Value makeFloat(float v);
    static Value makeString(std::string v);
    static Value makeTable();
};

struct Member {
    std::string key;
    Value value;
};

bool operator==(const Value &a, const Value &b);
inline bool operator!=(const Value &a, const Value &b) {
    return !(a == b);
}

// Both readers accept only keys and strings that the text form can carry unchanged, so that every
// tree they produce survives a round trip. Each returns an empty string for an acceptable input,
// otherwise what is wrong with it.
std::string keyProblem(std::string_view key);
std::string stringProblem(std::string_view text);

namespace detail {

// Whether the lowest byte of a word comes first in memory, as the tricks below that number the
// bytes of a word, or mask those past a string's end, need. (std::endian is C++20; grindle is C++17.)
inline bool littleEndian() {
    const std::uint16_t one = 1;
    unsigned char first = 0;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// Eight or four bytes at a time: a word whose high bits mark (at least) one byte when any byte is
// a control character (below 32), or equals `c`; zero when none is. The usual bit tricks; each
// answer is exact for the word as a whole, so words can be or-ed before one test.
template <typename Word> Word bytesBelow(Word x, unsigned n) {
    const Word ones = static_cast<Word>(~Word{0}) / 255;
    return (x - ones * n) & ~x & (ones * 0x80);
}
template <typename Word> Word bytesEqual(Word x, unsigned char c) {
    const Word ones = static_cast<Word>(~Word{0}) / 255;
    const Word y = x ^ (ones * c);
    return (y - ones) & ~y & (ones * 0x80);
}

// Whether `bad` marks no byte; it is given words of bytes (the last ones overlapping), and a short
// string's bytes one by one in a word filled with '@', which no test marks.
template <typename Test> bool noBadByte(std::string_view s, Test bad) {
    const char *p = s.data();
    const std::size_t n = s.size();
    if (n >= 8) {
        std::uint64_t w = 0;
        std::uint64_t marks = 0;
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            std::memcpy(&w, p + i, 8);
            marks |= bad(w);
        }
        std::memcpy(&w, p + n - 8, 8);
        return (marks | bad(w)) == 0;
    }
    if (n >= 4) {
        std::uint32_t a = 0;
        std::uint32_t b = 0;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + n - 4, 4);
        return (bad(a) | bad(b)) == 0;
    }
    std::uint32_t marks = 0;
    for (std::size_t i = 0; i < n; ++i)
        marks |= bad(static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) | 0x40404000u);
    return marks == 0;
}

// The most bytes that the padded checks below look at.
constexpr std::size_t kPaddedSize = 16;

// Whether `bad` marks none of the first `size` (1 to 16) bytes at `p`, of which 16 can be read:
// one fixed load (two past 8 bytes) instead of a loop, the bytes past `size` masked off. Exact on
// a little-endian machine only (the caller asks littleEndian()), where a mark that a true one did
// not cause can only follow it in memory, so that no byte past the end can mark one before it.
template <typename Test> bool noBadBytePadded(const char *p, std::size_t size, Test bad) {
    struct Masks {
        std::uint64_t word[kPaddedSize + 1][2];
    };
    static constexpr Masks kMasks = [] {
        Masks m{};
        for (std::size_t n = 0; n <= kPaddedSize; ++n) {
            for (std::size_t i = 0; i < n; ++i)
                m.word[n][i / 8] |= std::uint64_t{0xFF} << (8 * (i % 8));
        }
        return m;
    }();
    std::uint64_t a = 0;
    std::memcpy(&a, p, 8);
    std::uint64_t marks = bad(a) & kMasks.word[size][0];
    if (size > 8) {
        std::uint64_t b = 0;
        std::memcpy(&b, p + 8, 8);
        marks |= bad(b) & kMasks.word[size][1];
    }
    return marks == 0;
}

} // namespace detail

// The same questions answered quickly for the common case: true where the problem is empty.
inline bool keyIsAcceptable(std::string_view key) {
    if (key.empty() || key.front() == ' ' || key.back() == ' ')
        return false;
    const bool plain =
        detail::noBadByte(key, [](auto w) { return detail::bytesBelow(w, 32) | detail::bytesEqual(w, ':'); });
    return plain && (key.size() < 2 || key[0] != '|' || key[1] != ' ');
}
inline bool stringIsAcceptable(std::string_view text) {
    return detail::noBadByte(
        text, [](auto w) { return detail::bytesEqual(w, '\r') | detail::bytesEqual(w, '\n'); });
}

// The same for a key or string of 1 to 16 bytes from whose start 16 bytes can be read, on a
// little-endian machine (detail::noBadBytePadded).
inline bool paddedKeyIsAcceptable(const char *key, std::size_t size) {
    if (key[0] == ' ' || key[size - 1] == ' ' || (size >= 2 && key[0] == '|' && key[1] == ' '))
        return false;
    return detail::noBadBytePadded(
        key, size, [](auto w) { return detail::bytesBelow(w, 32) | detail::bytesEqual(w, ':'); });
}
inline bool paddedStringIsAcceptable(const char *text, std::size_t size) {
    return detail::noBadBytePadded(
        text, size, [](auto w) { return detail::bytesEqual(w, '\r') | detail::bytesEqual(w, '\n'); });
}

} // namespace grindle
