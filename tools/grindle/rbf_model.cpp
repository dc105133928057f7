#include "rbf_model.h"

#include <cstring>

namespace grindle {

Value Value::makeBool(bool v) {
    Value r;
    r.type = ValueType::Bool;
    r.boolean = v;
    return r;
}

Value Value::makeInt(std::int32_t v) {
    Value r;
    r.type = ValueType::Int;
    r.integer = v;
    return r;
}

Value Value::makeFloat(float v) {
    Value r;
    r.type = ValueType::Float;
    r.real = v;
    return r;
}

Value Value::makeString(std::string v) {
    Value r;
    r.type = ValueType::String;
    r.text = std::move(v);
    return r;
}

Value Value::makeTable() {
    return Value{};
}

bool operator==(const Value &a, const Value &b) {
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case ValueType::Bool:
        return a.boolean == b.boolean;
    case ValueType::Int:
        return a.integer == b.integer;
    case ValueType::Float:
        // Bitwise, so that -0.0 and 0.0 differ as they do in the file.
        return std::memcmp(&a.real, &b.real, sizeof a.real) == 0;
    case ValueType::String:
        return a.text == b.text;
    case ValueType::Table:
        if (a.members.size() != b.members.size())
            return false;
        for (std::size_t i = 0; i < a.members.size(); ++i) {
            if (a.members[i].key != b.members[i].key || a.members[i].value != b.members[i].value)
                return false;
        }
        return true;
    }
    return false;
}

std::string keyProblem(std::string_view key) {
    if (key.empty())
        return "empty key";
    for (char c : key) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32)
            return "control character in key";
        if (c == ':')
            return "':' in key";
    }
    if (key.front() == ' ' || key.back() == ' ')
        return "blank at the start or end of key";
    // A key that began with "| " would read back as one more depth marker.
    if (key.size() >= 2 && key[0] == '|' && key[1] == ' ')
        return "key starts with \"| \"";
    return {};
}

std::string stringProblem(std::string_view text) {
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return "line break in string";
    return {};
}

} // namespace grindle
