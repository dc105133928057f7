#include "text_writer.h"

#include "scalar_text.h"

#include <cstring>

namespace grindle {

namespace {

// "| " for every level that a line can have: the root's members are at level 1.
struct Markers {
    char bytes[2 * (kMaxDepth + 1) + 16];
    Markers() {
        for (std::size_t i = 0; i < sizeof bytes; i += 2) {
            bytes[i] = '|';
            bytes[i + 1] = ' ';
        }
    }
};
const Markers kMarkers;

// Fixed sizes, which the compiler copies without a call.
template <std::size_t N> char *put(char *p, const char (&bytes)[N]) {
    std::memcpy(p, bytes, N - 1);
    return p + N - 1;
}

// Markers are copied 16 bytes at a time, up to 15 bytes beyond their end (see kSlack).
constexpr std::size_t kSlack = 16;

char *putMarkers(char *p, std::size_t size) {
    char *const end = p + size;
    // Trees that the readers give are never deeper than the table holds; a tree built by hand may be.
    while (static_cast<std::size_t>(end - p) > sizeof kMarkers.bytes - kSlack)
        p = copyBytes(p, kMarkers.bytes, sizeof kMarkers.bytes - kSlack);
    for (const char *from = kMarkers.bytes; p < end; p += 16, from += 16)
        std::memcpy(p, from, 16);
    return end;
}

} // namespace

TextWriter::TextWriter(OutputBuffer &out, std::string_view rbfName) : out_(out) {
    out_.append("RBF file: ");
    out_.append(rbfName);
    out_.append("\r\n{\r\n");
}

char *TextWriter::startLine(std::string_view key, std::size_t after) {
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = out_.room(markers + kSlack + key.size() + 2 + after);
    p = putMarkers(p, markers);
    p = copyBytes(p, key.data(), key.size());
    return put(p, ": ");
}

void TextWriter::scalar(std::string_view key, const Scalar &value) {
    if (value.type == ValueType::String) {
        char *p = startLine(key, value.text.size() + 5);
        *p++ = '"';
        p = copyBytes(p, value.text.data(), value.text.size());
        p = put(p, "\";\r\n");
        out_.commit(p);
        return;
    }
    char *p = writeNumber(startLine(key, kMaxNumberText + 3), value);
    out_.commit(put(p, ";\r\n"));
}

void TextWriter::openTable(std::string_view key) {
    out_.commit(put(startLine(key, 3), "{\r\n"));
    ++depth_;
}

void TextWriter::closeTable() {
    --depth_;
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = putMarkers(out_.room(markers + kSlack + 3), markers);
    out_.commit(put(p, "}\r\n"));
}

void TextWriter::finish() {
    out_.append("}\r\n");
}

std::string writeText(const Value &root, std::string_view rbfName) {
    OutputBuffer out;
    TextWriter writer(out, rbfName);
    replayTree(root, writer);
    writer.finish();
    return out.take();
}

} // namespace grindle
