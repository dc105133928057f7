#include "rbf_writer.h"

#include "rbf_format.h"

#include <cstring>

namespace grindle {

using rbf_writer_detail::putU32;

RbfWriter::RbfWriter(OutputBuffer &out) : out_(out) {
    out_.append(kRbfMagic);
    char *p = putU32(out_.room(8), kRbfVersion);
    open_.push_back({out_.offset() + 4, 0});
    out_.commit(putU32(p, 0));
}

void RbfWriter::openTable(std::string_view key) {
    // Making room may pass bytes on, which moves no offset.
    const std::uint64_t countAt = out_.offset() + 4 + key.size() + 1;
    out_.commit(putU32(startMember(key, ValueType::Table, 4), 0));
    open_.push_back({countAt, 0});
}

void RbfWriter::closeInnermost() {
    char bytes[4];
    putU32(bytes, open_.back().count);
    out_.patch(open_.back().countAt, bytes, 4);
    open_.pop_back();
}

void RbfWriter::closeTable() {
    if (open_.size() > 1)
        closeInnermost();
}

void RbfWriter::finish() {
    while (!open_.empty())
        closeInnermost();
}

std::string writeRbf(const Value &root) {
    OutputBuffer out;
    RbfWriter writer(out);
    replayTree(root, writer);
    writer.finish();
    return out.take();
}

} // namespace grindle
