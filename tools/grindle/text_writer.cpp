#include "text_writer.h"

namespace grindle {

TextWriter::TextWriter(OutputBuffer &out, std::string_view rbfName) : out_(out) {
    out_.append("RBF file: ");
    out_.append(rbfName);
    out_.append("\r\n{\r\n");
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
