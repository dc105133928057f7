// How a single value is spelled in the text form, in both directions.
#pragma once

#include "rbf_model.h"
#include "value_sink.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace grindle {

// The longest spelling of a boolean, integer or float.
constexpr std::size_t kMaxNumberText = 32;

namespace scalar_text_detail {

// "00" to "99", for spelling numbers two digits at a time.
struct DigitPairs {
    char bytes[200];
};
constexpr DigitPairs makeDigitPairs() {
    DigitPairs d{};
    for (int i = 0; i < 100; ++i) {
        d.bytes[2 * i] = static_cast<char>('0' + i / 10);
        d.bytes[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return d;
}
constexpr DigitPairs kDigitPairs = makeDigitPairs();

inline char *putPair(char *out, std::uint32_t pair) {
    std::memcpy(out, kDigitPairs.bytes + 2 * pair, 2);
    return out + 2;
}

} // namespace scalar_text_detail

// Numbers of 10,000 or more, from their last digits on.
char *writeLargeInteger(char *out, std::uint32_t value);

// Writes a boolean, integer or float at `out` (room for kMaxNumberText bytes) and returns the end:
// true/false, integers without a dot, floats in the shortest form that reads back to the same
// bits and always with '.', an exponent or "inf" so that they never look like integers.
char *writeNumber(char *out, const Scalar &value);

char *writeFloat(char *out, float value);

// A number as to_chars spells it, written here because most in game data are short: to_chars
// is a call that first counts the digits, which costs more than spelling them does.
inline char *writeUnsigned(char *out, std::uint32_t u) {
    using scalar_text_detail::putPair;
    if (u < 100) {
        if (u < 10) {
            *out = static_cast<char>('0' + u);
            return out + 1;
        }
        return putPair(out, u);
    }
    if (u < 10000) {
        if (u < 1000) {
            *out = static_cast<char>('0' + u / 100);
            return putPair(out + 1, u % 100);
        }
        return putPair(putPair(out, u / 100), u % 100);
    }
    return writeLargeInteger(out, u);
}

inline char *writeInteger(char *out, std::int32_t value) {
    auto u = static_cast<std::uint32_t>(value);
    if (value < 0) {
        *out++ = '-';
        u = 0u - u;
    }
    return writeUnsigned(out, u);
}

// Appends the text of a non-table value: numbers as writeNumber spells them, strings "quoted".
void appendScalar(std::string &out, const Value &value);

// Reads the text of a value as it stands between ':' and ';' (already trimmed). Returns an empty
// string and fills `value` on success, otherwise what was expected instead ("expected ..., found
// ..."). A string's text points into `token`.
std::string parseScalar(std::string_view token, Scalar &value);
std::string parseScalar(std::string_view token, Value &value);
// The same without a string on success, for reading many values: false and `problem` filled on
// failure.
bool parseScalar(std::string_view token, Scalar &value, std::string &problem);

// The commonest spelling, an integer of up to nine digits (which cannot leave the 32-bit range),
// read without a call; false for anything else, which parseScalar then reads or refuses.
inline bool readShortInteger(std::string_view token, std::int32_t &value) {
    const bool negative = !token.empty() && token.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    if (token.size() == first || token.size() - first > 9)
        return false;
    std::int32_t v = 0;
    for (std::size_t i = first; i < token.size(); ++i) {
        const char c = token[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

} // namespace grindle
