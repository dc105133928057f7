// The value tree that both file forms describe: a root table of ordered, named members.
#pragma once

#include <cstdint>
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

} // namespace grindle
