#include "scalar_text.h"

#include "excerpt.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace grindle {

namespace {

char *writeFloat(char *out, float v) {
    // Shortest text that parses back to exactly this float.
    char *end = std::to_chars(out, out + kMaxNumberText - 2, v).ptr;
    for (const char *p = out; p != end; ++p) {
        if (*p == '.' || *p == 'e' || *p == 'n') // 'n' of "inf"
            return end;
    }
    *end++ = '.';
    *end++ = '0';
    return end;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

std::string notAValue(std::string_view token) {
    return "expected a number, true, false or a \"string\", found " + excerpt(token);
}

bool looksLikeFloat(std::string_view t) {
    return t.find_first_of(".eEiInN") != std::string_view::npos;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The common case, a short integer: nine digits cannot leave the 32-bit range.
bool readShortInteger(std::string_view token, std::int32_t &value) {
    const bool negative = token.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    if (token.size() == first || token.size() - first > 9)
        return false;
    std::int32_t v = 0;
    for (std::size_t i = first; i < token.size(); ++i) {
        if (!isDigit(token[i]))
            return false;
        v = v * 10 + (token[i] - '0');
    }
    value = negative ? -v : v;
    return true;
}

} // namespace

char *writeNumber(char *out, const Scalar &value) {
    switch (value.type) {
    case ValueType::Bool:
        if (value.boolean) {
            std::memcpy(out, "true", 4);
            return out + 4;
        }
        std::memcpy(out, "false", 5);
        return out + 5;
    case ValueType::Int:
        return std::to_chars(out, out + kMaxNumberText, value.integer).ptr;
    case ValueType::Float:
        return writeFloat(out, value.real);
    case ValueType::String:
    case ValueType::Table:
        break;
    }
    return out;
}

void appendScalar(std::string &out, const Value &value) {
    if (value.type == ValueType::String) {
        out += '"';
        out += value.text;
        out += '"';
        return;
    }
    char buf[kMaxNumberText];
    out.append(buf, writeNumber(buf, scalarOf(value)));
}

std::string parseScalar(std::string_view token, Scalar &value) {
    if (token.empty())
        return "expected a value before \";\"";
    std::int32_t i = 0;
    if (readShortInteger(token, i)) {
        value.type = ValueType::Int;
        value.integer = i;
        return {};
    }
    if (token.front() == '"') {
        // No escapes: the string is everything between the first and the last quote, so quotes
        // and semicolons inside a string need no special spelling.
        if (token.size() < 2 || token.back() != '"')
            return "expected '\"' at the end of the string, found " + excerpt(token);
        value.type = ValueType::String;
        value.text = token.substr(1, token.size() - 2);
        if (!stringProblem(value.text).empty())
            return "expected a string without line breaks, found " + excerpt(token);
        return {};
    }
    if (equalsIgnoringCase(token, "true") || equalsIgnoringCase(token, "false")) {
        value.type = ValueType::Bool;
        value.boolean = token.size() == 4;
        return {};
    }
    // from_chars takes no leading '+', which people may still write.
    std::string_view number = token;
    if (number.front() == '+' && number.size() > 1 && number[1] != '-')
        number.remove_prefix(1);
    const char *first = number.data();
    const char *last = first + number.size();
    if (looksLikeFloat(number)) {
        float f = 0.0f;
        const auto res = std::from_chars(first, last, f, std::chars_format::general);
        if (res.ec == std::errc::result_out_of_range)
            return "expected a float within the 32-bit range, found " + excerpt(token);
        if (res.ec != std::errc() || res.ptr != last)
            return notAValue(token);
        if (std::isnan(f))
            return "expected a number, found NaN (not supported)";
        value.type = ValueType::Float;
        value.real = f;
        return {};
    }
    const auto res = std::from_chars(first, last, i);
    if (res.ec == std::errc::result_out_of_range)
        return "expected an integer within the 32-bit range, found " + excerpt(token);
    if (res.ec != std::errc() || res.ptr != last)
        return notAValue(token);
    value.type = ValueType::Int;
    value.integer = i;
    return {};
}

std::string parseScalar(std::string_view token, Value &value) {
    Scalar s;
    std::string problem = parseScalar(token, s);
    if (problem.empty())
        value = valueOf(s);
    return problem;
}

} // namespace grindle
