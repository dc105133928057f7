// Writing the value tree as the converted text that the editor reads.
#pragma once

#include "output_buffer.h"
#include "rbf_model.h"
#include "value_sink.h"

#include <string>
#include <string_view>

namespace grindle {

// The whole text: the heading "RBF file: NAME", the outer braces, one line per value and per
// table end, depth markers "| " for nesting, CR LF after every line. `rbfName` is the RBF file's
// name in code page 1252. The heading is written at once, the closing brace by finish().
class TextWriter : public ValueSink {
public:
    TextWriter(OutputBuffer &out, std::string_view rbfName);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;
    void finish();

private:
    // Room for the markers, the key and what follows it on the line.
    char *startLine(std::string_view key, std::size_t after);

    OutputBuffer &out_;
    int depth_ = 1;
};

std::string writeText(const Value &root, std::string_view rbfName);

} // namespace grindle
