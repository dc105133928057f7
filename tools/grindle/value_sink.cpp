#include "value_sink.h"

namespace grindle {

Scalar scalarOf(const Value &value) {
    Scalar s;
    s.type = value.type;
    s.boolean = value.boolean;
    s.integer = value.integer;
    s.real = value.real;
    s.text = value.text;
    return s;
}

Value valueOf(const Scalar &scalar) {
    switch (scalar.type) {
    case ValueType::Bool:
        return Value::makeBool(scalar.boolean);
    case ValueType::Int:
        return Value::makeInt(scalar.integer);
    case ValueType::Float:
        return Value::makeFloat(scalar.real);
    case ValueType::String:
        return Value::makeString(std::string(scalar.text));
    case ValueType::Table:
        break;
    }
    return Value::makeTable();
}

TreeBuilder::TreeBuilder(Value &root) {
    root = Value::makeTable();
    open_.push_back(&root);
}

void TreeBuilder::scalar(std::string_view key, const Scalar &value) {
    open_.back()->members.push_back({std::string(key), valueOf(value)});
}

void TreeBuilder::openTable(std::string_view key) {
    Value &table = *open_.back();
    table.members.push_back({std::string(key), Value::makeTable()});
    open_.push_back(&table.members.back().value);
}

void TreeBuilder::closeTable() {
    if (open_.size() > 1)
        open_.pop_back();
}

void replayTree(const Value &root, ValueSink &sink) {
    for (const Member &m : root.members) {
        if (m.value.type == ValueType::Table) {
            sink.openTable(m.key);
            replayTree(m.value, sink);
            sink.closeTable();
        } else {
            sink.scalar(m.key, scalarOf(m.value));
        }
    }
}

} // namespace grindle
