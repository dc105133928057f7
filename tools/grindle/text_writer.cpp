#include "text_writer.h"

#include "scalar_text.h"

namespace grindle {

namespace {

void appendMarkers(std::string &out, int depth) {
    for (int i = 0; i < depth; ++i)
        out += "| ";
}

void appendMembers(std::string &out, const Value &table, int depth) {
    for (const Member &m : table.members) {
        appendMarkers(out, depth);
        out += m.key;
        out += ": ";
        if (m.value.type == ValueType::Table) {
            out += "{\r\n";
            appendMembers(out, m.value, depth + 1);
            appendMarkers(out, depth);
            out += "}\r\n";
        } else {
            appendScalar(out, m.value);
            out += ";\r\n";
        }
    }
}

} // namespace

std::string writeText(const Value &root, std::string_view rbfName) {
    std::string out;
    out += "RBF file: ";
    out += rbfName;
    out += "\r\n{\r\n";
    appendMembers(out, root, 1);
    out += "}\r\n";
    return out;
}

} // namespace grindle
