#include "rbf_writer.h"

#include "rbf_format.h"

#include <cstring>

namespace grindle {

namespace {

char *putU32(char *p, std::uint32_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>((v >> 8) & 0xFF);
    p[2] = static_cast<char>((v >> 16) & 0xFF);
    p[3] = static_cast<char>((v >> 24) & 0xFF);
    return p + 4;
}

template <typename T> std::uint32_t bitsOf(T v) {
    static_assert(sizeof(T) == 4, "32-bit values only");
    std::uint32_t u = 0;
    std::memcpy(&u, &v, sizeof u);
    return u;
}

} // namespace

RbfWriter::RbfWriter(OutputBuffer &out) : out_(out) {
    out_.append(kRbfMagic);
    char *p = putU32(out_.room(8), kRbfVersion);
    open_.push_back({out_.offset() + 4, 0});
    out_.commit(putU32(p, 0));
}

char *RbfWriter::startMember(std::string_view key, ValueType type, std::size_t after) {
    ++open_.back().count;
    char *p = putU32(out_.room(4 + key.size() + 1 + after), static_cast<std::uint32_t>(key.size()));
    p = copyBytes(p, key.data(), key.size());
    *p++ = static_cast<char>(type);
    return p;
}

void RbfWriter::scalar(std::string_view key, const Scalar &value) {
    switch (value.type) {
    case ValueType::Bool: {
        char *p = startMember(key, value.type, 1);
        *p++ = value.boolean ? 1 : 0;
        out_.commit(p);
        break;
    }
    case ValueType::Int:
        out_.commit(putU32(startMember(key, value.type, 4), bitsOf(value.integer)));
        break;
    case ValueType::Float:
        out_.commit(putU32(startMember(key, value.type, 4), bitsOf(value.real)));
        break;
    case ValueType::String: {
        char *p = putU32(startMember(key, value.type, 4 + value.text.size()),
                         static_cast<std::uint32_t>(value.text.size()));
        out_.commit(copyBytes(p, value.text.data(), value.text.size()));
        break;
    }
    case ValueType::Table:
        break;
    }
}

void RbfWriter::openTable(std::string_view key) {
    // Making room may pass bytes on, which moves no offset.
    const std::uint64_t countAt = out_.offset() + 4 + key.size() + 1;
    out_.commit(putU32(startMember(key, ValueType::Table, 4), 0));
    open_.push_back({countAt, 0});
}

void RbfWriter::closeInnermost() {
    char bytes[4];
    putU32(bytes, open_.back().count);
    out_.patch(open_.back().countAt, bytes, 4);
    open_.pop_back();
}

void RbfWriter::closeTable() {
    if (open_.size() > 1)
        closeInnermost();
}

void RbfWriter::finish() {
    while (!open_.empty())
        closeInnermost();
}

std::string writeRbf(const Value &root) {
    OutputBuffer out;
    RbfWriter writer(out);
    replayTree(root, writer);
    writer.finish();
    return out.take();
}

} // namespace grindle
