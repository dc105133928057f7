// The value tree as a stream of events, so that a file can be converted without ever holding the
// tree: a reader calls a sink for every member in file order.
#pragma once

#include "rbf_model.h"

#include <cstdint>
#include <string_view>

namespace grindle {

// A non-table value; `text` points into the reader's input and is valid during the call only.
struct Scalar {
    ValueType type = ValueType::Bool;
    bool boolean = false;
    std::int32_t integer = 0;
    float real = 0.0f;
    std::string_view text;
};

// Receives the members of the root table and, nested, of every table in it.
class ValueSink {
public:
    virtual ~ValueSink() = default;
    virtual void scalar(std::string_view key, const Scalar &value) = 0;
    // A table member: its members follow, up to the matching closeTable().
    virtual void openTable(std::string_view key) = 0;
    virtual void closeTable() = 0;
};

Scalar scalarOf(const Value &value);
Value valueOf(const Scalar &scalar);

// Builds the tree that the events describe, below `root` (which becomes an empty table first).
class TreeBuilder : public ValueSink {
public:
    explicit TreeBuilder(Value &root);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;

private:
    // The open tables, innermost last. Only the innermost one grows, so the pointers stay valid.
    std::vector<Value *> open_;
};

// Sends the members of `root` to `sink`, depth first, in order.
void replayTree(const Value &root, ValueSink &sink);

} // namespace grindle
