// How a single value is spelled in the text form, in both directions.
#pragma once

#include "rbf_model.h"
#include "value_sink.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace grindle {

// The longest spelling of a boolean, integer or float.
constexpr std::size_t kMaxNumberText = 32;

// Writes a boolean, integer or float at `out` (room for kMaxNumberText bytes) and returns the end:
// true/false, integers without a dot, floats in the shortest form that reads back to the same
// bits and always with '.', an exponent or "inf" so that they never look like integers.
char *writeNumber(char *out, const Scalar &value);

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
