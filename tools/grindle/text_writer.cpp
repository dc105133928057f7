#include "text_writer.h"

namespace grindle {

TextWriter::TextWriter(OutputBuffer &out, std::string_view rbfName) : out_(out) {
    out_.append("RBF file: ");
    out_.append(rbfName);
    out_.append("\r\n{\r\n");
}

// Trees that the readers give are never deeper than the table of markers holds; a tree built by
// hand may be.
char *TextWriter::putManyMarkers(char *p, std::size_t size) {
    using text_writer_detail::kMarkers;
    constexpr std::size_t kWhole = sizeof kMarkers.bytes - text_writer_detail::kSlack;
    while (size > 0) {
        const std::size_t n = size < kWhole ? size : kWhole;
        std::memcpy(p, kMarkers.bytes, n);
        p += n;
        size -= n;
    }
    return p;
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
