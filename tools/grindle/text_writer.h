// Writing the value tree as the converted text that the editor reads.
#pragma once

#include "output_buffer.h"
#include "rbf_model.h"
#include "scalar_text.h"
#include "value_sink.h"

#include <cstring>
#include <string>
#include <string_view>

namespace grindle {

namespace text_writer_detail {

// "| " for every level that a line can have (the root's members are at level 1), and room for
// copying the markers of up to 16 levels as one block of 32 bytes.
constexpr std::size_t kSlack = 32;
struct Markers {
    char bytes[2 * (kMaxDepth + 1) + kSlack];
};
constexpr Markers makeMarkers() {
    Markers m{};
    for (std::size_t i = 0; i < sizeof m.bytes; i += 2) {
        m.bytes[i] = '|';
        m.bytes[i + 1] = ' ';
    }
    return m;
}
constexpr Markers kMarkers = makeMarkers();

// Fixed sizes, which the compiler copies without a call.
template <std::size_t N> char *put(char *p, const char (&bytes)[N]) {
    std::memcpy(p, bytes, N - 1);
    return p + N - 1;
}

} // namespace text_writer_detail

// The whole text: the heading "RBF file: NAME", the outer braces, one line per value and per
// table end, depth markers "| " for nesting, CR LF after every line. `rbfName` is the RBF file's
// name in code page 1252. The heading is written at once, the closing brace by finish().
// The calls for a member are defined here, so that a reader that knows this sink can inline them.
class TextWriter final : public ValueSink {
public:
    TextWriter(OutputBuffer &out, std::string_view rbfName);
    void scalar(std::string_view key, const Scalar &value) override;
    void openTable(std::string_view key) override;
    void closeTable() override;
    void finish();

    // A member whose type the caller has just told apart, with a key of at most 16 bytes that is
    // copied as one block: no second look at either.
    void integer(PaddedBytes key, std::int32_t value) { endNumber(writeInteger(startNumber(key), value)); }
    void real(PaddedBytes key, float value) { endNumber(writeFloat(startNumber(key), value)); }
    void boolean(PaddedBytes key, bool value) {
        endNumber(value ? text_writer_detail::put(startNumber(key), "true")
                        : text_writer_detail::put(startNumber(key), "false"));
    }
    void string(PaddedBytes key, PaddedBytes text) {
        char *p = startLine(key, text_writer_detail::kSlack);
        *p++ = '"';
        endString(copyPadded(p, text));
    }
    void string(PaddedBytes key, std::string_view text) {
        char *p = startLine(key, text.size() + 5);
        *p++ = '"';
        endString(copyBytes(p, text.data(), text.size()));
    }
    void openTable(PaddedBytes key) {
        out_.commit(text_writer_detail::put(startLine(key, 3), "{\r\n"));
        ++depth_;
    }

private:
    template <typename Key> char *startNumber(Key key) { return startLine(key, kMaxNumberText + 3); }
    void endNumber(char *p) { out_.commit(text_writer_detail::put(p, ";\r\n")); }
    void endString(char *p) { out_.commit(text_writer_detail::put(p, "\";\r\n")); }

    // Room for the markers, the key and what follows it on the line (`after` bytes).
    char *startLine(std::string_view key, std::size_t after) {
        char *p = putMarkers(out_.room(lineRoom() + key.size() + after));
        return text_writer_detail::put(copyBytes(p, key.data(), key.size()), ": ");
    }
    char *startLine(PaddedBytes key, std::size_t after) {
        char *p = putMarkers(out_.room(lineRoom() + 16 + after));
        return text_writer_detail::put(copyPadded(p, key), ": ");
    }
    // The markers with their slack, and ": ".
    std::size_t lineRoom() const {
        return static_cast<std::size_t>(2 * depth_) + text_writer_detail::kSlack + 2;
    }
    char *putMarkers(char *p) {
        const auto size = static_cast<std::size_t>(2 * depth_);
        if (size > text_writer_detail::kSlack)
            return putManyMarkers(p, size);
        std::memcpy(p, text_writer_detail::kMarkers.bytes, text_writer_detail::kSlack);
        return p + size;
    }
    static char *putManyMarkers(char *p, std::size_t size);

    OutputBuffer &out_;
    int depth_ = 1;
};

std::string writeText(const Value &root, std::string_view rbfName);

inline void TextWriter::scalar(std::string_view key, const Scalar &value) {
    if (value.type == ValueType::String) {
        char *p = startLine(key, value.text.size() + 5);
        *p++ = '"';
        endString(copyBytes(p, value.text.data(), value.text.size()));
        return;
    }
    endNumber(writeNumber(startNumber(key), value));
}

inline void TextWriter::openTable(std::string_view key) {
    out_.commit(text_writer_detail::put(startLine(key, 3), "{\r\n"));
    ++depth_;
}

inline void TextWriter::closeTable() {
    --depth_;
    out_.commit(text_writer_detail::put(putMarkers(out_.room(lineRoom() + 3)), "}\r\n"));
}

} // namespace grindle
