#include "scalar_text.h"

#include "excerpt.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace grindle {

namespace {

// Most floats in game data are short decimals (1.5, 0.25, 12.34). Below 10,000 and with at most
// two decimals, a float is spelled from its hundredths: such a decimal has at most six digits, so
// no other decimal as short reads back to the same float, and the fixed form is never longer than
// the exponent form. Anything else (zero and its sign too) is left to the general search.
char *writeShortDecimal(char *out, float v) {
    if (!(v > -10000.0f && v < 10000.0f) || v == 0.0f)
        return nullptr;
    // Rounded half away from zero by hand, which is no call (nearbyint is one): a neighbour of the
    // nearest hundredths would only fail the check that follows.
    const double scaled = static_cast<double>(v) * 100.0;
    auto n = static_cast<std::int32_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    if (static_cast<float>(n / 100.0) != v)
        return nullptr;
    if (n < 0) {
        *out++ = '-';
        n = -n;
    }
    const auto u = static_cast<std::uint32_t>(n);
    out = writeUnsigned(out, u / 100);
    *out++ = '.';
    // The second decimal only when it is not 0.
    return scalar_text_detail::putPair(out, u % 100) - (u % 10 == 0 ? 1 : 0);
}

} // namespace

char *writeLargeInteger(char *out, std::uint32_t value) {
    std::size_t digits = 5;
    for (std::uint32_t rest = value / 100000; rest != 0; rest /= 10)
        ++digits;
    char *p = out + digits;
    while (value >= 100) {
        p -= 2;
        scalar_text_detail::putPair(p, value % 100);
        value /= 100;
    }
    if (value >= 10)
        scalar_text_detail::putPair(p - 2, value);
    else
        p[-1] = static_cast<char>('0' + value);
    return out + digits;
}

char *writeFloat(char *out, float v) {
    if (char *end = writeShortDecimal(out, v))
        return end;
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

namespace {

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
    for (const char c : t) {
        if (c == '.' || c == 'e' || c == 'E' || c == 'i' || c == 'I' || c == 'n' || c == 'N')
            return true;
    }
    return false;
}

// A plain decimal of at most seven digits ("-12.5", "0.25"): its digits and the power of ten
// are both exact floats, so one division rounds correctly, as from_chars would.
bool readShortDecimal(std::string_view token, float &value) {
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const bool negative = token.front() == '-';
    std::size_t i = negative ? 1 : 0;
    std::int32_t digits = 0;
    int count = 0;
    int decimals = -1;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c >= '0' && c <= '9') {
            digits = digits * 10 + (c - '0');
            if (++count > 7)
                return false;
            if (decimals >= 0)
                ++decimals;
        } else if (c == '.' && decimals < 0 && count > 0) {
            decimals = 0;
        } else {
            return false;
        }
    }
    if (decimals <= 0)
        return false;
    const float v = static_cast<float>(digits) / kPowers[decimals];
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
        return writeInteger(out, value.integer);
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

bool parseScalar(std::string_view token, Scalar &value, std::string &problem) {
    if (token.empty()) {
        problem = "expected a value before \";\"";
        return false;
    }
    std::int32_t i = 0;
    if (readShortInteger(token, i)) {
        value.type = ValueType::Int;
        value.integer = i;
        return true;
    }
    if (token.front() == '"') {
        // No escapes: the string is everything between the first and the last quote, so quotes
        // and semicolons inside a string need no special spelling.
        if (token.size() < 2 || token.back() != '"') {
            problem = "expected '\"' at the end of the string, found " + excerpt(token);
            return false;
        }
        value.type = ValueType::String;
        value.text = token.substr(1, token.size() - 2);
        if (!stringIsAcceptable(value.text)) {
            problem = "expected a string without line breaks, found " + excerpt(token);
            return false;
        }
        return true;
    }
    float f = 0.0f;
    if (readShortDecimal(token, f)) {
        value.type = ValueType::Float;
        value.real = f;
        return true;
    }
    if (equalsIgnoringCase(token, "true") || equalsIgnoringCase(token, "false")) {
        value.type = ValueType::Bool;
        value.boolean = token.size() == 4;
        return true;
    }
    // from_chars takes no leading '+', which people may still write.
    std::string_view number = token;
    if (number.front() == '+' && number.size() > 1 && number[1] != '-')
        number.remove_prefix(1);
    const char *first = number.data();
    const char *last = first + number.size();
    if (looksLikeFloat(number)) {
        const auto res = std::from_chars(first, last, f, std::chars_format::general);
        if (res.ec == std::errc::result_out_of_range) {
            problem = "expected a float within the 32-bit range, found " + excerpt(token);
            return false;
        }
        if (res.ec != std::errc() || res.ptr != last) {
            problem = notAValue(token);
            return false;
        }
        if (std::isnan(f)) {
            problem = "expected a number, found NaN (not supported)";
            return false;
        }
        value.type = ValueType::Float;
        value.real = f;
        return true;
    }
    const auto res = std::from_chars(first, last, i);
    if (res.ec == std::errc::result_out_of_range) {
        problem = "expected an integer within the 32-bit range, found " + excerpt(token);
        return false;
    }
    if (res.ec != std::errc() || res.ptr != last) {
        problem = notAValue(token);
        return false;
    }
    value.type = ValueType::Int;
    value.integer = i;
    return true;
}

std::string parseScalar(std::string_view token, Scalar &value) {
    std::string problem;
    parseScalar(token, value, problem);
    return problem;
}

std::string parseScalar(std::string_view token, Value &value) {
    Scalar s;
    std::string problem = parseScalar(token, s);
    if (problem.empty())
        value = valueOf(s);
    return problem;
}

} // namespace grindle
