#include "rbf_reader.h"

#include "rbf_format.h"

#include <cmath>
#include <cstring>

namespace grindle {

namespace {

class RbfReader {
public:
    explicit RbfReader(std::string_view data) : data_(data) {}

    std::string read(Value &root) {
        root = Value::makeTable();
        if (readHeader() && readMembers(root, 0) && pos_ != data_.size())
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
    bool readBytes(std::string &out, const char *what) {
        std::uint32_t len = 0;
        if (!readU32(len))
            return truncated(what);
        if (len > remaining())
            return fail(std::string(what) + " length " + std::to_string(len) + " exceeds the remaining " +
                        std::to_string(remaining()) + " bytes");
        out.assign(data_.data() + pos_, len);
        pos_ += len;
        return true;
    }

    bool readMembers(Value &table, int depth) {
        const std::size_t countAt = pos_;
        std::uint32_t count = 0;
        if (!readU32(count))
            return truncated("a member count");
        if (count > remaining() / kMinMemberSize)
            return failAt(countAt, "member count " + std::to_string(count) + " cannot fit in the remaining " +
                                       std::to_string(remaining()) + " bytes");
        for (std::uint32_t i = 0; i < count; ++i) {
            Member m;
            const std::size_t keyAt = pos_;
            if (!readBytes(m.key, "a key"))
                return false;
            const std::string problem = keyProblem(m.key);
            if (!problem.empty())
                return failAt(keyAt, problem);
            if (!readValue(m.value, depth))
                return false;
            table.members.push_back(std::move(m));
        }
        return true;
    }

    bool readValue(Value &value, int depth) {
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
            value = Value::makeBool(b == 1);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Int): {
            std::uint32_t u = 0;
            if (!readU32(u))
                return truncated("an integer");
            std::int32_t i = 0;
            std::memcpy(&i, &u, sizeof i);
            value = Value::makeInt(i);
            return true;
        }
        case static_cast<unsigned char>(ValueType::Float): {
            std::uint32_t u = 0;
            if (!readU32(u))
                return truncated("a float");
            float f = 0.0f;
            std::memcpy(&f, &u, sizeof f);
            if (std::isnan(f))
                return failAt(typeAt + 1, "NaN is not supported");
            value = Value::makeFloat(f);
            return true;
        }
        case static_cast<unsigned char>(ValueType::String): {
            const std::size_t textAt = pos_;
            value = Value::makeString({});
            if (!readBytes(value.text, "a string"))
                return false;
            const std::string problem = stringProblem(value.text);
            return problem.empty() || failAt(textAt, problem);
        }
        case static_cast<unsigned char>(ValueType::Table):
            if (depth + 1 > kMaxDepth)
                return failAt(typeAt, "tables nested deeper than " + std::to_string(kMaxDepth));
            value = Value::makeTable();
            return readMembers(value, depth + 1);
        default:
            return failAt(typeAt, "unknown value type " + std::to_string(type));
        }
    }

    std::string_view data_;
    std::size_t pos_ = 0;
    std::string error_;
};

} // namespace

std::string readRbf(std::string_view data, Value &root) {
    return RbfReader(data).read(root);
}

} // namespace grindle
