#include "output_buffer.h"

#include "replacement_file.h"

#include <algorithm>

namespace grindle {

namespace {

constexpr std::size_t kFirstSize = 4096;

} // namespace

OutputBuffer::OutputBuffer() {
    buffer_.resize(kFirstSize);
}

OutputBuffer::OutputBuffer(ReplacementFile *file, std::size_t capacity) : keep_(false), file_(file) {
    buffer_.resize(std::max<std::size_t>(capacity, 16));
}

void OutputBuffer::flush() {
    if (keep_ || used_ == 0)
        return;
    if (file_)
        file_->write(buffer_.data(), used_);
    passedOn_ += used_;
    used_ = 0;
}

void OutputBuffer::makeRoom(std::size_t size) {
    if (keep_) {
        buffer_.resize(std::max(buffer_.size() * 2, used_ + size));
        return;
    }
    flush();
    // A single piece larger than the whole buffer (a very long key or string).
    if (size > buffer_.size())
        buffer_.resize(size);
}

void OutputBuffer::appendLarge(std::string_view bytes) {
    if (keep_ || bytes.size() <= buffer_.size()) {
        makeRoom(bytes.size());
        std::memcpy(&buffer_[used_], bytes.data(), bytes.size());
        used_ += bytes.size();
        return;
    }
    // More than the whole buffer: straight to the file rather than through it.
    flush();
    if (file_)
        file_->write(bytes.data(), bytes.size());
    passedOn_ += bytes.size();
}

void OutputBuffer::patch(std::uint64_t at, const char *bytes, std::size_t size) {
    if (at >= passedOn_) {
        std::memcpy(&buffer_[static_cast<std::size_t>(at - passedOn_)], bytes, size);
        return;
    }
    if (file_)
        file_->patchLater(at, bytes, size);
}

std::string OutputBuffer::take() {
    flush();
    std::string out = std::move(buffer_);
    out.resize(keep_ ? used_ : 0);
    buffer_.clear();
    used_ = 0;
    return out;
}

} // namespace grindle
