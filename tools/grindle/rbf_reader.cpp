#include "rbf_reader.h"

#include "rbf_format.h"

#include <cmath>
#include <cstring>

namespace grindle {

namespace {

class RbfReader {
public:
    RbfReader(std::string_view data, ValueSink &sink) : data_(data), sink_(sink) {}

    std::string read() {
        if (readHeader() && readMembers(0) && pos_ != data_.size())
            fail(std::to_string(remaining()) + " bytes after the end of the data");
        return error_;
    }

private:
    bool readHeader() {
        if (data_.size() < kRbfHeaderSize || data_.substr(0, kRbfMagic.size()) != kRbfMagic)
            return fail("not an RBF file (no \"KRBF\" header)");
        pos_ = kRbfMagic.size();
        std::uint32_t version = 0;
        readU32(version);
        if (version != kRbfVersion)
            return failAt(kRbfMagic.size(), "unsupported RBF version " + std::to_string(version));
        return true;
    }

    std::size_t remaining() const { return data_.size() - pos_; }

    // Records what is wrong at `offset`; returns false so that callers can return it directly.
    bool failAt(std::size_t offset, const std::string &what) {
        error_ = "offset " + std::to_string(offset) + ": " + what;
        return false;
    }
    bool fail(const std::string &what) { return failAt(pos_, what); }
    bool truncated(const char *what) { return fail(std::string("file ends inside ") + what); }

    bool readU32(std::uint32_t &v) {
        if (remaining() < 4)
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(data_.data() + pos_);
        v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
            static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        pos_ += 4;
        return true;
    }

    // A length-prefixed byte string; the length is checked against the remaining bytes first.
    bool readBytes(std::string_view &out, const char *what) {
        std::uint32_t len = 0;
        if (!readU32(len))
            return truncated(what);
        if (len > remaining())
            return fail(std::string(what) + " length " + std::to_string(len) + " exceeds the remaining " +
                        std::to_string(remaining()) + " bytes");
        out = data_.substr(pos_, len);
        pos_ += len;
        return true;
    }

    bool readMembers(int depth) {
        const std::size_t countAt = pos_;
        std::uint32_t count = 0;
        if (!readU32(count))
            return truncated("a member count");
        if (count > remaining() / kMinMemberSize)
            return failAt(countAt, "member count " + std::to_string(count) + " cannot fit in the remaining " +
                                       std::to_string(remaining()) + " bytes");
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t keyAt = pos_;
            std::string_view key;
            if (!readBytes(key, "a key"))
                return false;
            if (!keyIsAcceptable(key))
                return failAt(keyAt, keyProblem(key));
            if (!readValue(key, depth))
                return false;
        }
        return true;
    }

    bool readValue(std::string_view key, int depth) {
        if (remaining() < 1)
            return truncated("a value");
        const std::size_t typeAt = pos_;
        const auto type = static_cast<unsigned char>(data_[pos_++]);
        switch (type) {
        case static_cast<unsigned char>(ValueType::Bool): {
            if (remaining() < 1)
                return truncated("a boolean");
            const auto b = static_cast<unsigned char>(data_[pos_]);
            if (b > 1)
                return fail("boolean byte " + std::to_string(b) + " is neither 0 nor 1");
            ++pos_;
            Scalar value;
            value.type = ValueType::Bool;
            value.boolean = b == 1;
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Int): {
            std::uint32_t u = 0;
            if (!readU32(u))
                return truncated("an integer");
            Scalar value;
            value.type = ValueType::Int;
            std::memcpy(&value.integer, &u, sizeof u);
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Float): {
            std::uint32_t u = 0;
            if (!readU32(u))
                return truncated("a float");
            Scalar value;
            value.type = ValueType::Float;
            std::memcpy(&value.real, &u, sizeof u);
            if (std::isnan(value.real))
                return failAt(typeAt + 1, "NaN is not supported");
            sink_.scalar(key, value);
            return true;
        }
        case static_cast<unsigned char>(ValueType::String): {
            const std::size_t textAt = pos_;
            Scalar value;
            value.type = ValueType::String;
            if (!readBytes(value.text, "a string"))
                return false;
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

    std::string_view data_;
    ValueSink &sink_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

std::string readRbf(std::string_view data, ValueSink &sink) {
    return RbfReader(data, sink).read();
}

std::string readRbf(std::string_view data, Value &root) {
    TreeBuilder builder(root);
    return readRbf(data, builder);
}

} // namespace grindle
