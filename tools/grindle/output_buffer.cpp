#include "output_buffer.h"

#include "replacement_file.h"

#include <algorithm>

namespace grindle {

namespace {

constexpr std::size_t kFirstSize = 4096;

} // namespace

OutputBuffer::OutputBuffer() {
    resize(kFirstSize, 0);
}

OutputBuffer::OutputBuffer(ReplacementFile *file, std::size_t capacity) : keep_(false), file_(file) {
    resize(std::max<std::size_t>(capacity, 16), 0);
}

void OutputBuffer::resize(std::size_t size, std::size_t used) {
    buffer_.resize(size);
    at_ = &buffer_[used];
    limit_ = buffer_.data() + buffer_.size();
}

void OutputBuffer::flush() {
    const std::size_t n = used();
    if (keep_ || n == 0)
        return;
    if (file_)
        file_->write(buffer_.data(), n);
    passedOn_ += n;
    at_ = buffer_.data();
}

void OutputBuffer::makeRoom(std::size_t size) {
    if (keep_) {
        resize(std::max(buffer_.size() * 2, used() + size), used());
        return;
    }
    flush();
    // A single piece larger than the whole buffer (a very long key or string).
    if (size > buffer_.size())
        resize(size, 0);
}

void OutputBuffer::appendLarge(std::string_view bytes) {
    if (keep_ || bytes.size() <= buffer_.size()) {
        makeRoom(bytes.size());
        std::memcpy(at_, bytes.data(), bytes.size());
        at_ += bytes.size();
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
    const std::size_t n = keep_ ? used() : 0;
    std::string out = std::move(buffer_);
    out.resize(n);
    buffer_.clear();
    at_ = limit_ = buffer_.data();
    return out;
}

} // namespace grindle
