// Where a writer puts its bytes: one buffer that is either kept whole (the result in memory) or
// passed on to a file each time it fills, so that a large output never sits in memory at once.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace grindle {

class ReplacementFile;

// memcpy for the short keys and values that make up most of a file: a call to the library's
// memcpy, made for long copies, costs more than the copy itself. Returns the end.
inline char *copyBytes(char *to, const char *from, std::size_t size) {
    if (size >= 8 && size <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4 && size < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size < 4) {
        for (std::size_t i = 0; i < size; ++i)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, size);
    }
    return to + size;
}

// Bytes of which 16 can be read from `data` whatever their `size` (at most 16): copied as one
// fixed-size block, with no branch on the size, where the destination has 16 bytes of room.
struct PaddedBytes {
    const char *data;
    std::size_t size;
};
inline char *copyPadded(char *to, PaddedBytes bytes) {
    std::memcpy(to, bytes.data, 16);
    return to + bytes.size;
}

class OutputBuffer {
public:
    // Keeps every byte; take() hands them over.
    OutputBuffer();
    // Passes the bytes on to `file` in pieces of `capacity` bytes; a null file drops them (the
    // conversion still runs, to find problems in its input).
    OutputBuffer(ReplacementFile *file, std::size_t capacity);
    // It points into itself.
    OutputBuffer(const OutputBuffer &) = delete;
    OutputBuffer &operator=(const OutputBuffer &) = delete;

    // At least `size` bytes to write at; commit() says how many were written.
    char *room(std::size_t size) {
        if (static_cast<std::size_t>(limit_ - at_) < size)
            makeRoom(size);
        return at_;
    }
    void commit(char *end) { at_ = end; }

    void append(std::string_view bytes) {
        if (bytes.size() > static_cast<std::size_t>(limit_ - at_)) {
            appendLarge(bytes);
            return;
        }
        std::memcpy(at_, bytes.data(), bytes.size());
        at_ += bytes.size();
    }

    // Bytes written so far, from the start of the output.
    std::uint64_t offset() const { return passedOn_ + used(); }

    // Overwrites `size` (at most 8) bytes written earlier at `at`.
    void patch(std::uint64_t at, const char *bytes, std::size_t size);

    // Passes on what is left; the bytes in memory, for a buffer that keeps them.
    void flush();
    std::string take();

private:
    void makeRoom(std::size_t size);
    void appendLarge(std::string_view bytes);
    std::size_t used() const { return static_cast<std::size_t>(at_ - buffer_.data()); }
    // After the buffer changed its size.
    void resize(std::size_t size, std::size_t used);

    std::string buffer_;
    // Where the next byte goes and the end of the buffer: kept as pointers, so that a line
    // written costs one comparison and one store.
    char *at_ = nullptr;
    char *limit_ = nullptr;
    std::uint64_t passedOn_ = 0;
    bool keep_ = true;
    ReplacementFile *file_ = nullptr;
};

} // namespace grindle
