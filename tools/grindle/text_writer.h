// Writing the value tree as the converted text that the editor reads.
#pragma once

#include "output_buffer.h"
#include "rbf_model.h"
#include "scalar_text.h"
#include "value_sink.h"

#include <cstring>
#include <string>
#include <string_view>

namespace grindle {

namespace text_writer_detail {

// "| " for every level that a line can have (the root's members are at level 1), and room for
// copying them 16 bytes at a time.
constexpr std::size_t kSlack = 16;
struct Markers {
    char bytes[2 * (kMaxDepth + 1) + kSlack];
};
constexpr Markers makeMarkers() {
    Markers m{};
    for (std::size_t i = 0; i < sizeof m.bytes; i += 2) {
        m.bytes[i] = '|';
        m.bytes[i + 1] = ' ';
    }
    return m;
}
constexpr Markers kMarkers = makeMarkers();

// Fixed sizes, which the compiler copies without a call.
template <std::size_t N> char *put(char *p, const char (&bytes)[N]) {
    std::memcpy(p, bytes, N - 1);
    return p + N - 1;
}

} // namespace text_writer_detail

// The whole text: the heading "RBF file: NAME", the outer braces, one line per value and per
// table end, depth markers "| " for nesting, CR LF after every line. `rbfName` is the RBF file's
// name in code page 1252. The heading is written at once, the closing brace by finish().
// The calls for a member are defined here, so that a reader that knows this sink can inline them.
class TextWriter final : public ValueSink {
public:
    TextWriter(OutputBuffer &out, std::string_view rbfName);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;
    void finish();

    // A member whose type the caller has just told apart: no second look at it.
    void integer(std::string_view key, std::int32_t value) {
        endNumber(writeInteger(startNumber(key), value));
    }
    void real(std::string_view key, float value) { endNumber(writeFloat(startNumber(key), value)); }
    void boolean(std::string_view key, bool value) {
        endNumber(value ? text_writer_detail::put(startNumber(key), "true")
                        : text_writer_detail::put(startNumber(key), "false"));
    }

private:
    char *startNumber(std::string_view key) { return startLine(key, kMaxNumberText + 3); }
    void endNumber(char *p) { out_.commit(text_writer_detail::put(p, ";\r\n")); }

    // Room for the markers, the key and what follows it on the line.
    char *startLine(std::string_view key, std::size_t after);
    char *putMarkers(char *p, std::size_t size);

    OutputBuffer &out_;
    int depth_ = 1;
};

std::string writeText(const Value &root, std::string_view rbfName);

// Markers are copied 16 bytes at a time, up to kSlack - 1 bytes beyond their end.
inline char *TextWriter::putMarkers(char *p, std::size_t size) {
    using text_writer_detail::kMarkers;
    using text_writer_detail::kSlack;
    char *const end = p + size;
    constexpr std::size_t kWhole = sizeof kMarkers.bytes - kSlack;
    // Trees that the readers give are never deeper than the table holds; a tree built by hand may be.
    while (static_cast<std::size_t>(end - p) > kWhole)
        p = copyBytes(p, kMarkers.bytes, kWhole);
    for (const char *from = kMarkers.bytes; p < end; p += 16, from += 16)
        std::memcpy(p, from, 16);
    return end;
}

inline char *TextWriter::startLine(std::string_view key, std::size_t after) {
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = out_.room(markers + text_writer_detail::kSlack + key.size() + 2 + after);
    p = putMarkers(p, markers);
    p = copyBytes(p, key.data(), key.size());
    return text_writer_detail::put(p, ": ");
}

inline void TextWriter::scalar(std::string_view key, const Scalar &value) {
    using text_writer_detail::put;
    if (value.type == ValueType::String) {
        char *p = startLine(key, value.text.size() + 5);
        *p++ = '"';
        p = copyBytes(p, value.text.data(), value.text.size());
        p = put(p, "\";\r\n");
        out_.commit(p);
        return;
    }
    endNumber(writeNumber(startNumber(key), value));
}

inline void TextWriter::openTable(std::string_view key) {
    out_.commit(text_writer_detail::put(startLine(key, 3), "{\r\n"));
    ++depth_;
}

inline void TextWriter::closeTable() {
    --depth_;
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = putMarkers(out_.room(markers + text_writer_detail::kSlack + 3), markers);
    out_.commit(text_writer_detail::put(p, "}\r\n"));
}

} // namespace grindle
