#include "text_writer.h"

#include "scalar_text.h"

#include <cstring>

namespace grindle {

namespace {

// "| " for every level that a line can have: the root's members are at level 1.
struct Markers {
    char bytes[2 * (kMaxDepth + 1)];
    Markers() {
        for (std::size_t i = 0; i < sizeof bytes; i += 2) {
            bytes[i] = '|';
            bytes[i + 1] = ' ';
        }
    }
};
const Markers kMarkers;

char *put(char *p, const char *bytes, std::size_t size) {
    std::memcpy(p, bytes, size);
    return p + size;
}

// Trees that the readers give are never deeper than the table holds; a tree built by hand may be.
char *putMarkers(char *p, std::size_t size) {
    while (size > sizeof kMarkers.bytes) {
        p = put(p, kMarkers.bytes, sizeof kMarkers.bytes);
        size -= sizeof kMarkers.bytes;
    }
    return put(p, kMarkers.bytes, size);
}

} // namespace

TextWriter::TextWriter(OutputBuffer &out, std::string_view rbfName) : out_(out) {
    out_.append("RBF file: ");
    out_.append(rbfName);
    out_.append("\r\n{\r\n");
}

char *TextWriter::startLine(std::string_view key, std::size_t after) {
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = out_.room(markers + key.size() + 2 + after);
    p = putMarkers(p, markers);
    p = put(p, key.data(), key.size());
    return put(p, ": ", 2);
}

void TextWriter::scalar(std::string_view key, const Scalar &value) {
    if (value.type == ValueType::String) {
        char *p = startLine(key, value.text.size() + 5);
        *p++ = '"';
        p = put(p, value.text.data(), value.text.size());
        p = put(p, "\";\r\n", 4);
        out_.commit(p);
        return;
    }
    char *p = writeNumber(startLine(key, kMaxNumberText + 3), value);
    out_.commit(put(p, ";\r\n", 3));
}

void TextWriter::openTable(std::string_view key) {
    out_.commit(put(startLine(key, 3), "{\r\n", 3));
    ++depth_;
}

void TextWriter::closeTable() {
    --depth_;
    const auto markers = static_cast<std::size_t>(2 * depth_);
    char *p = putMarkers(out_.room(markers + 3), markers);
    out_.commit(put(p, "}\r\n", 3));
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
