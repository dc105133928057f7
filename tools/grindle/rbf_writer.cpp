#include "rbf_writer.h"

#include "rbf_format.h"

#include <cstring>

namespace grindle {

namespace {

void appendU32(std::string &out, std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.append(bytes, 4);
}

void appendBytes(std::string &out, const std::string &bytes) {
    appendU32(out, static_cast<std::uint32_t>(bytes.size()));
    out += bytes;
}

void appendMembers(std::string &out, const Value &table);

void appendValue(std::string &out, const Value &value) {
    out += static_cast<char>(value.type);
    switch (value.type) {
    case ValueType::Bool:
        out += static_cast<char>(value.boolean ? 1 : 0);
        break;
    case ValueType::Int: {
        std::uint32_t u = 0;
        std::memcpy(&u, &value.integer, sizeof u);
        appendU32(out, u);
        break;
    }
    case ValueType::Float: {
        std::uint32_t u = 0;
        std::memcpy(&u, &value.real, sizeof u);
        appendU32(out, u);
        break;
    }
    case ValueType::String:
        appendBytes(out, value.text);
        break;
    case ValueType::Table:
        appendMembers(out, value);
        break;
    }
}

void appendMembers(std::string &out, const Value &table) {
    appendU32(out, static_cast<std::uint32_t>(table.members.size()));
    for (const Member &m : table.members) {
        appendBytes(out, m.key);
        appendValue(out, m.value);
    }
}

} // namespace

std::string writeRbf(const Value &root) {
    std::string out(kRbfMagic);
    appendU32(out, kRbfVersion);
    appendMembers(out, root);
    return out;
}

} // namespace grindle
