#include "rbf_reader.h"

#include "input_file.h"
#include "rbf_format.h"
#include "text_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace grindle {

namespace {

// The bytes being read: the whole file in memory, or a window onto it that is refilled from the
// file as the reader moves on. Offsets count from the start of the file, so that every message
// names the same offset either way.
class RbfBytes {
public:
    explicit RbfBytes(std::string_view data)
        : at_(data.data()), end_(data.data() + data.size()), start_(at_), size_(data.size()) {}

    RbfBytes(InputFile &file, std::uint64_t size, std::size_t pieceSize)
        : size_(size), file_(&file), capacity_(std::max<std::size_t>(pieceSize, 16)) {
        // Not zeroed (as make_unique would): every byte is read into before it is looked at.
        buffer_.reset(new char[capacity_]);
        at_ = end_ = start_ = buffer_.get();
    }

    const char *at() const { return at_; }
    std::size_t available() const { return static_cast<std::size_t>(end_ - at_); }
    void skip(std::size_t n) { at_ += n; }
    std::uint64_t offset() const { return base_ + static_cast<std::uint64_t>(at_ - start_); }
    std::uint64_t remaining() const { return size_ - offset(); }

    // Makes the next `n` bytes (no more than remain) readable at at(), keeping those from `keep`
    // (at or before at()) where they may move; returns false when the file no longer holds them.
    bool have(std::size_t n, const char *&keep) {
        return static_cast<std::size_t>(end_ - at_) >= n || refill(n, keep);
    }
    bool have(std::size_t n) {
        const char *keep = at_;
        return have(n, keep);
    }

    // After the last byte: true unless the file has grown since it was measured.
    bool atEndOfFile() {
        if (!file_)
            return true;
        char extra = 0;
        std::size_t got = 0;
        problem_ = file_->read(&extra, 1, got);
        return problem_.empty() && got == 0;
    }

    // Why the file could not be read, when have() or atEndOfFile() failed.
    std::string problem() const { return problem_.empty() ? "the file changed while it was read" : problem_; }

private:
    bool refill(std::size_t n, const char *&keep) {
        if (!file_)
            return false;
        const auto kept = static_cast<std::size_t>(end_ - keep);
        const auto ahead = static_cast<std::size_t>(at_ - keep);
        if (ahead + n > capacity_) {
            // A key or string longer than the window: a window large enough for it.
            capacity_ = std::max(capacity_ * 2, ahead + n);
            auto larger = std::make_unique<char[]>(capacity_);
            std::memcpy(larger.get(), keep, kept);
            buffer_ = std::move(larger);
        } else {
            std::memmove(buffer_.get(), keep, kept);
        }
        base_ += static_cast<std::uint64_t>(keep - start_);
        start_ = keep = buffer_.get();
        at_ = start_ + ahead;
        end_ = start_ + kept;
        // Never beyond the size measured at the start, which every check has counted on.
        const std::uint64_t unread = size_ - (base_ + kept);
        while (static_cast<std::size_t>(end_ - at_) < n) {
            const auto filled = static_cast<std::size_t>(end_ - start_);
            const auto room = static_cast<std::size_t>(
                std::min<std::uint64_t>(capacity_ - filled, unread - (filled - kept)));
            std::size_t got = 0;
            problem_ = file_->read(buffer_.get() + filled, room, got);
            if (!problem_.empty() || got == 0)
                return false;
            end_ += got;
        }
        return true;
    }

    const char *at_ = nullptr;
    const char *end_ = nullptr;
    const char *start_ = nullptr; // offset base_ of the file
    std::uint64_t base_ = 0;
    std::uint64_t size_ = 0;
    InputFile *file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::string problem_;
};

std::uint32_t u32At(const char *at) {
    const auto *p = reinterpret_cast<const unsigned char *>(at);
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// A boolean, integer, float, string or table opened, to any sink, or to the text writer by the call
// for its type. Keys, and strings given as PaddedBytes, have at most 16 bytes, and 16 can be read.
template <typename Sink> void sendBoolean(Sink &sink, PaddedBytes key, bool b) {
    Scalar value;
    value.type = ValueType::Bool;
    value.boolean = b;
    sink.scalar(std::string_view(key.data, key.size), value);
}
template <typename Sink> void sendInteger(Sink &sink, PaddedBytes key, std::int32_t i) {
    Scalar value;
    value.type = ValueType::Int;
    value.integer = i;
    sink.scalar(std::string_view(key.data, key.size), value);
}
template <typename Sink> void sendReal(Sink &sink, PaddedBytes key, float f) {
    Scalar value;
    value.type = ValueType::Float;
    value.real = f;
    sink.scalar(std::string_view(key.data, key.size), value);
}
template <typename Sink, typename Text> void sendString(Sink &sink, PaddedBytes key, Text text) {
    Scalar value;
    value.type = ValueType::String;
    value.text = std::string_view(text.data(), text.size());
    sink.scalar(std::string_view(key.data, key.size), value);
}
template <typename Sink> void sendTable(Sink &sink, PaddedBytes key) {
    sink.openTable(std::string_view(key.data, key.size));
}
void sendBoolean(TextWriter &writer, PaddedBytes key, bool b) {
    writer.boolean(key, b);
}
void sendInteger(TextWriter &writer, PaddedBytes key, std::int32_t i) {
    writer.integer(key, i);
}
void sendReal(TextWriter &writer, PaddedBytes key, float f) {
    writer.real(key, f);
}
template <typename Text> void sendString(TextWriter &writer, PaddedBytes key, Text text) {
    writer.string(key, text);
}
void sendTable(TextWriter &writer, PaddedBytes key) {
    writer.openTable(key);
}

// The text of a string whose 16 bytes from its start can be read, with the interface of a view.
struct PaddedText : PaddedBytes {
    const char *data() const { return PaddedBytes::data; }
    std::size_t size() const { return PaddedBytes::size; }
};

// `Sink` is ValueSink, or a final sink such as TextWriter whose calls then need no table lookup.
template <typename Sink> class RbfReader {
public:
    RbfReader(RbfBytes &bytes, Sink &sink) : bytes_(bytes), sink_(sink) {}

    std::string read() {
        if (readHeader() && readMembers(0)) {
            if (remaining() != 0)
                fail(std::to_string(remaining()) + " bytes after the end of the data");
            else if (!bytes_.atEndOfFile())
                fail(bytes_.problem());
        }
        return error_;
    }

private:
    bool readHeader() {
        if (remaining() >= kRbfHeaderSize && !bytes_.have(kRbfHeaderSize))
            return unreadable();
        if (remaining() < kRbfHeaderSize || std::string_view(bytes_.at(), kRbfMagic.size()) != kRbfMagic)
            return fail("not an RBF file (no \"KRBF\" header)");
        bytes_.skip(kRbfMagic.size());
        std::uint32_t version = 0;
        readU32(version);
        if (version != kRbfVersion)
            return failAt(kRbfMagic.size(), "unsupported RBF version " + std::to_string(version));
        return true;
    }

    std::uint64_t remaining() const { return bytes_.remaining(); }

    // Records what is wrong at `offset`; returns false so that callers can return it directly.
    bool failAt(std::uint64_t offset, const std::string &what) {
        error_ = "offset " + std::to_string(offset) + ": " + what;
        return false;
    }
    bool fail(const std::string &what) { return failAt(bytes_.offset(), what); }
    bool truncated(const char *what) { return fail(std::string("file ends inside ") + what); }
    bool unreadable() { return fail(bytes_.problem()); }

    // False when fewer than four bytes remain (`error_` untouched) or the file cannot give them.
    bool readU32(std::uint32_t &v) {
        if (remaining() < 4)
            return false;
        if (!bytes_.have(4))
            return unreadable();
        v = u32At(bytes_.at());
        bytes_.skip(4);
        return true;
    }

    // A length-prefixed byte string; the length is checked against the remaining bytes first.
    // `keep` is where the current member starts: it stays readable, and moves with the window.
    bool readBytes(std::string_view &out, const char *what, const char *&keep) {
        if (remaining() < 4)
            return truncated(what);
        if (!bytes_.have(4, keep))
            return unreadable();
        const std::uint32_t len = u32At(bytes_.at());
        bytes_.skip(4);
        if (len > remaining())
            return fail(std::string(what) + " length " + std::to_string(len) + " exceeds the remaining " +
                        std::to_string(remaining()) + " bytes");
        // The type byte and up to four bytes of value come along when the file holds them.
        const auto ahead =
            static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t{len} + 5, remaining()));
        if (!bytes_.have(ahead, keep))
            return unreadable();
        out = std::string_view(bytes_.at(), len);
        bytes_.skip(len);
        return true;
    }

    bool readMembers(int depth) {
        const std::uint64_t countAt = bytes_.offset();
        std::uint32_t count = 0;
        if (!readU32(count))
            return error_.empty() ? truncated("a member count") : false;
        if (count > remaining() / kMinMemberSize)
            return failAt(countAt, "member count " + std::to_string(count) + " cannot fit in the remaining " +
                                       std::to_string(remaining()) + " bytes");
        for (std::uint32_t i = 0; i < count; ++i) {
            switch (readShortMember(depth)) {
            case Step::Done:
                continue;
            case Step::Table:
                if (!readMembers(depth + 1))
                    return false;
                sink_.closeTable();
                continue;
            case Step::General:
                break;
            }
            const char *member = bytes_.at();
            const std::uint64_t keyAt = bytes_.offset();
            std::string_view key;
            if (!readBytes(key, "a key", member))
                return false;
            if (!keyIsAcceptable(key))
                return failAt(keyAt, keyProblem(key));
            if (!readValue(key, member, depth))
                return false;
        }
        return true;
    }

    // What readShortMember did: read the member, opened the table whose members follow (read by
    // the caller, so that this stays free of recursion and can be inlined), or nothing.
    enum class Step { Done, Table, General };

    // The commonest member, with a key of at most 16 bytes and a value all in memory behind it,
    // read with fixed-size loads (16 bytes of key, whatever its size) and none of the checks that
    // the bytes' presence makes needless. Anything else, a problem too, is left to the general way.
    Step readShortMember(int depth) {
        // The key's length, 16 bytes from the key's start on, then the type and four bytes of value.
        constexpr std::size_t kShortMember = 4 + detail::kPaddedSize + 5;
        const char *p = bytes_.at();
        const std::size_t available = bytes_.available();
        if (available < kShortMember || !detail::littleEndian())
            return Step::General;
        const std::uint32_t len = u32At(p);
        if (len - 1 >= detail::kPaddedSize || !paddedKeyIsAcceptable(p + 4, len))
            return Step::General;
        const PaddedBytes key{p + 4, len};
        const char *v = p + 4 + len;
        const auto type = static_cast<unsigned char>(*v);
        // Integers, the commonest values, before the table of jumps.
        if (type == static_cast<unsigned char>(ValueType::Int)) {
            const std::uint32_t u = u32At(v + 1);
            std::int32_t i = 0;
            std::memcpy(&i, &u, sizeof u);
            bytes_.skip(len + 9);
            sendInteger(sink_, key, i);
            return Step::Done;
        }
        switch (type) {
        case static_cast<unsigned char>(ValueType::Bool):
            if (static_cast<unsigned char>(v[1]) > 1)
                return Step::General;
            bytes_.skip(len + 6);
            sendBoolean(sink_, key, v[1] == 1);
            return Step::Done;
        case static_cast<unsigned char>(ValueType::Float): {
            const std::uint32_t u = u32At(v + 1);
            float f = 0;
            std::memcpy(&f, &u, sizeof u);
            if (std::isnan(f))
                return Step::General;
            bytes_.skip(len + 9);
            sendReal(sink_, key, f);
            return Step::Done;
        }
        case static_cast<unsigned char>(ValueType::String): {
            const std::uint32_t size = u32At(v + 1);
            const char *text = v + 5;
            const auto before = static_cast<std::size_t>(text - p);
            if (size <= detail::kPaddedSize && available - before >= detail::kPaddedSize) {
                if (!paddedStringIsAcceptable(text, size))
                    return Step::General;
                bytes_.skip(before + size);
                sendString(sink_, key, PaddedText{{text, size}});
                return Step::Done;
            }
            const std::string_view whole(text, size);
            if (size > available - before || !stringIsAcceptable(whole))
                return Step::General;
            bytes_.skip(before + size);
            sendString(sink_, key, whole);
            return Step::Done;
        }
        case static_cast<unsigned char>(ValueType::Table):
            if (depth + 1 > kMaxDepth)
                return Step::General;
            bytes_.skip(len + 5);
            sendTable(sink_, key);
            return Step::Table;
        default:
            return Step::General;
        }
    }

    // The bytes after the key are readable up to the type and four bytes of value (readBytes).
    bool readValue(std::string_view key, const char *member, int depth) {
        if (remaining() < 1)
            return truncated("a value");
        const std::uint64_t typeAt = bytes_.offset();
        const auto type = static_cast<unsigned char>(*bytes_.at());
        bytes_.skip(1);
        switch (type) {
        case static_cast<unsigned char>(ValueType::Bool): {
            if (remaining() < 1)
                return truncated("a boolean");
            const auto b = static_cast<unsigned char>(*bytes_.at());
            if (b > 1)
                return fail("boolean byte " + std::to_string(b) + " is neither 0 nor 1");
            bytes_.skip(1);
            Scalar value;
            value.type = ValueType::Bool;
            value.boolean = b == 1;
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Int): {
            if (remaining() < 4)
                return truncated("an integer");
            Scalar value;
            value.type = ValueType::Int;
            const std::uint32_t u = u32At(bytes_.at());
            bytes_.skip(4);
            std::memcpy(&value.integer, &u, sizeof u);
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Float): {
            if (remaining() < 4)
                return truncated("a float");
            Scalar value;
            value.type = ValueType::Float;
            const std::uint32_t u = u32At(bytes_.at());
            bytes_.skip(4);
            std::memcpy(&value.real, &u, sizeof u);
            if (std::isnan(value.real))
                return failAt(typeAt + 1, "NaN is not supported");
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::String): {
            const std::uint64_t textAt = bytes_.offset();
            const auto keyOffset = static_cast<std::size_t>(key.data() - member);
            Scalar value;
            value.type = ValueType::String;
            if (!readBytes(value.text, "a string", member))
                return false;
            // The window may have moved, and the key with it.
            key = std::string_view(member + keyOffset, key.size());
            if (!stringIsAcceptable(value.text))
                return failAt(textAt, stringProblem(value.text));
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Table):
            if (depth + 1 > kMaxDepth)
                return failAt(typeAt, "tables nested deeper than " + std::to_string(kMaxDepth));
            sink_.openTable(key);
            if (!readMembers(depth + 1))
                return false;
            sink_.closeTable();
            return true;
        default:
            return failAt(typeAt, "unknown value type " + std::to_string(type));
        }
    }

    RbfBytes &bytes_;
    Sink &sink_;
    std::string error_;
};

template <typename Sink> std::string readInMemory(std::string_view data, Sink &sink) {
    RbfBytes bytes(data);
    return RbfReader<Sink>(bytes, sink).read();
}

template <typename Sink> std::string readInPieces(InputFile &file, Sink &sink, std::size_t pieceSize) {
    // Without a known size, the checks against what remains need the whole file.
    if (file.sizeHint() == 0) {
        std::string data;
        const std::string problem = file.readAll(data);
        return problem.empty() ? readInMemory(data, sink) : problem;
    }
    RbfBytes bytes(file, file.sizeHint(), pieceSize);
    return RbfReader<Sink>(bytes, sink).read();
}

} // namespace

std::string readRbf(std::string_view data, ValueSink &sink) {
    return readInMemory(data, sink);
}

std::string readRbf(std::string_view data, TextWriter &writer) {
    return readInMemory(data, writer);
}

std::string readRbf(std::string_view data, Value &root) {
    TreeBuilder builder(root);
    return readRbf(data, static_cast<ValueSink &>(builder));
}

std::string readRbf(InputFile &file, ValueSink &sink, std::size_t pieceSize) {
    return readInPieces(file, sink, pieceSize);
}

std::string readRbf(InputFile &file, TextWriter &writer, std::size_t pieceSize) {
    return readInPieces(file, writer, pieceSize);
}

} // namespace grindle
