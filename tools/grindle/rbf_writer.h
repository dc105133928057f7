// Writing the value tree in the binary RBF form.
#pragma once

#include "output_buffer.h"
#include "rbf_model.h"
#include "value_sink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace grindle {

// Writes the header at once and every member as it comes; a table's member count, which comes
// before its members, is filled in when the table closes. Lengths and counts must fit in 32 bits;
// the converter only feeds it inputs far smaller than that.
class RbfWriter : public ValueSink {
public:
    explicit RbfWriter(OutputBuffer &out);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;
    // Fills in the root's count.
    void finish();

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

} // namespace grindle
