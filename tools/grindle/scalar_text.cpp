#include "scalar_text.h"

#include "excerpt.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace grindle {

namespace {

void appendFloat(std::string &out, float v) {
    char buf[64];
    // Shortest text that parses back to exactly this float.
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    const std::string_view digits(buf, static_cast<std::size_t>(res.ptr - buf));
    out += digits;
    if (digits.find_first_of(".eEn") == std::string_view::npos) // 'n' of "inf"
        out += ".0";
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

} // namespace

void appendScalar(std::string &out, const Value &value) {
    switch (value.type) {
    case ValueType::Bool:
        out += value.boolean ? "true" : "false";
        break;
    case ValueType::Int: {
        char buf[16];
        const auto res = std::to_chars(buf, buf + sizeof buf, value.integer);
        out.append(buf, res.ptr);
        break;
    }
    case ValueType::Float:
        appendFloat(out, value.real);
        break;
    case ValueType::String:
        out += '"';
        out += value.text;
        out += '"';
        break;
    case ValueType::Table:
        break;
    }
}

std::string parseScalar(std::string_view token, Value &value) {
    if (token.empty())
        return "expected a value before \";\"";
    if (token.front() == '"') {
        // No escapes: the string is everything between the first and the last quote, so quotes
        // and semicolons inside a string need no special spelling.
        if (token.size() < 2 || token.back() != '"')
            return "expected '\"' at the end of the string, found " + excerpt(token);
        value = Value::makeString(std::string(token.substr(1, token.size() - 2)));
        if (!stringProblem(value.text).empty())
            return "expected a string without line breaks, found " + excerpt(token);
        return {};
    }
    if (equalsIgnoringCase(token, "true") || equalsIgnoringCase(token, "false")) {
        value = Value::makeBool(token.size() == 4);
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
        value = Value::makeFloat(f);
        return {};
    }
    std::int32_t i = 0;
    const auto res = std::from_chars(first, last, i);
    if (res.ec == std::errc::result_out_of_range)
        return "expected an integer within the 32-bit range, found " + excerpt(token);
    if (res.ec != std::errc() || res.ptr != last)
        return notAValue(token);
    value = Value::makeInt(i);
    return {};
}

} // namespace grindle
