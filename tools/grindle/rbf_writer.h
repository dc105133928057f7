// Writing the value tree in the binary RBF form.
#pragma once

#include "output_buffer.h"
#include "rbf_model.h"
#include "value_sink.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace grindle {

namespace rbf_writer_detail {

inline char *putU32(char *p, std::uint32_t v) {
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

} // namespace rbf_writer_detail

// Writes the header at once and every member as it comes; a table's member count, which comes
// before its members, is filled in when the table closes. Lengths and counts must fit in 32 bits;
// the converter only feeds it inputs far smaller than that. The calls for a member are defined
// here, so that a reader that knows this sink can inline them.
class RbfWriter final : public ValueSink {
public:
    explicit RbfWriter(OutputBuffer &out);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;
    // Fills in the root's count.
    void finish();

    // An integer, the commonest member, whose type the caller has just told apart.
    void integer(std::string_view key, std::int32_t value) {
        out_.commit(
            rbf_writer_detail::putU32(startMember(key, ValueType::Int, 4), rbf_writer_detail::bitsOf(value)));
    }

private:
    struct OpenTable {
        std::uint64_t countAt;
        std::uint32_t count;
    };

    char *startMember(std::string_view key, ValueType type, std::size_t after);
    void closeInnermost();

    OutputBuffer &out_;
    std::vector<OpenTable> open_;
};

// The complete file.
std::string writeRbf(const Value &root);

inline char *RbfWriter::startMember(std::string_view key, ValueType type, std::size_t after) {
    ++open_.back().count;
    char *p = rbf_writer_detail::putU32(out_.room(4 + key.size() + 1 + after),
                                        static_cast<std::uint32_t>(key.size()));
    p = copyBytes(p, key.data(), key.size());
    *p++ = static_cast<char>(type);
    return p;
}

inline void RbfWriter::scalar(std::string_view key, const Scalar &value) {
    using rbf_writer_detail::bitsOf;
    using rbf_writer_detail::putU32;
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

} // namespace grindle
