#include "text_reader.h"

#include "excerpt.h"
#include "scalar_text.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace grindle {

namespace {

// Any code of 32 or below counts as blank, as the editor counts it.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

const char *skipBlanks(const char *p, const char *end) {
    while (p != end && isBlank(*p))
        ++p;
    return p;
}

const char *dropBlanks(const char *begin, const char *end) {
    while (end != begin && isBlank(end[-1]))
        --end;
    return end;
}

// The first ':' or control character from `p` on, or `end`; eight bytes at a time where the
// machine's byte order lets the lowest mark of a word tell which byte it is.
const char *findColonOrControl(const char *p, const char *end) {
    if (detail::littleEndian()) {
        while (end - p >= 8) {
            std::uint64_t w = 0;
            std::memcpy(&w, p, 8);
            const std::uint64_t marks = detail::bytesEqual(w, ':') | detail::bytesBelow(w, 32);
            if (marks != 0) {
                // The lowest mark is exact (others may only follow it): its byte, numbered by a
                // multiplication that moves the number into the top byte.
                const std::uint64_t lowest = (marks & (0 - marks)) >> 7;
                return p + ((lowest * 0x0001020304050607ULL) >> 56);
            }
            p += 8;
        }
    }
    while (p != end && *p != ':' && static_cast<unsigned char>(*p) >= 32)
        ++p;
    return p;
}

// Past the "| " pairs at `p`, eight bytes at a time: the pairs before the first byte that differs.
const char *skipMarkerPairs(const char *p, const char *end) {
    if (detail::littleEndian()) {
        std::uint64_t pairs = 0;
        std::memcpy(&pairs, "| | | | ", 8);
        while (end - p >= 8) {
            std::uint64_t w = 0;
            std::memcpy(&w, p, 8);
            const std::uint64_t diff = w ^ pairs;
            if (diff != 0) {
                // A high bit for every byte that differs, exactly; the lowest one numbered as in
                // findColonOrControl.
                const std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
                const std::uint64_t differs = (((diff & low7) + low7) | diff) & ~low7;
                const std::uint64_t lowest = (differs & (0 - differs)) >> 7;
                return p + (((lowest * 0x0001020304050607ULL) >> 56) & ~std::uint64_t{1});
            }
            p += 8;
        }
    }
    while (end - p >= 2 && p[0] == '|' && p[1] == ' ')
        p += 2;
    return p;
}

std::string_view span(const char *begin, const char *end) {
    return {begin, static_cast<std::size_t>(end - begin)};
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string where(std::size_t line, std::size_t column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

} // namespace

TextReader::TextReader(RbfWriter &writer) : sink_(writer), rbf_(&writer) {}

inline void TextReader::scalar(std::string_view key, const Scalar &value) {
    if (rbf_)
        rbf_->scalar(key, value);
    else
        sink_.scalar(key, value);
}

inline void TextReader::integer(std::string_view key, std::int32_t value) {
    if (rbf_) {
        rbf_->integer(key, value);
        return;
    }
    Scalar s;
    s.type = ValueType::Int;
    s.integer = value;
    sink_.scalar(key, s);
}

inline void TextReader::openTable(std::string_view key) {
    if (rbf_)
        rbf_->openTable(key);
    else
        sink_.openTable(key);
}

inline void TextReader::closeTable() {
    if (rbf_)
        rbf_->closeTable();
    else
        sink_.closeTable();
}

std::size_t TextReader::columnOf(std::string_view piece) const {
    return static_cast<std::size_t>(piece.data() - line_.data()) + 1;
}

bool TextReader::failAt(std::size_t column, const std::string &message) {
    fail(lineNo_, column, message);
    return false;
}

void TextReader::fail(std::size_t line, std::size_t column, const std::string &message) {
    problem_ = where(line, column) + message;
}

std::size_t TextReader::readLines(std::string_view text) {
    const char *const start = text.data();
    const char *const end = start + text.size();
    const char *pos = start;
    while (problem_.empty()) {
        const auto *lf =
            static_cast<const char *>(std::memchr(pos, '\n', static_cast<std::size_t>(end - pos)));
        if (!lf)
            break;
        std::string_view line(pos, static_cast<std::size_t>(lf - pos));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos = lf + 1;
        readLine(line);
    }
    return static_cast<std::size_t>(pos - start);
}

void TextReader::readLine(std::string_view line) {
    ++lineNo_;
    line_ = line;
    const char *begin = skipBlanks(line.data(), line.data() + line.size());
    const char *end = dropBlanks(begin, line.data() + line.size());
    lastBlank_ = begin == end;
    lastSize_ = line.size();
    if (begin == end)
        return;
    if (state_ == State::Members)
        readMember(begin, end);
    else
        readOutsideMembers(span(begin, end));
}

void TextReader::finish(std::string_view rest) {
    if (!problem_.empty())
        return;
    if (!rest.empty()) {
        if (rest.back() == '\r')
            rest.remove_suffix(1);
        readLine(rest);
        if (!problem_.empty())
            return;
    }
    if (state_ == State::Heading) {
        // Where the "{" would have had to follow: after the last line.
        fail(std::max<std::size_t>(lineNo_, 1), lastBlank_ ? 1 : lastSize_ + 1,
             "expected \"{\", found the end of the text");
    } else if (state_ == State::Members) {
        const OpenTable &open = open_.back();
        if (open_.size() == 1)
            fail(open.line, open.column, "expected \"}\" to close the \"{\" here, found the end of the text");
        else
            fail(open.line, open.column,
                 "expected \"}\" to close table " + excerpt(open.key) + ", found the end of the text");
    }
}

bool TextReader::readOutsideMembers(std::string_view line) {
    switch (state_) {
    case State::Heading:
        if (line == "{") {
            open_.push_back({lineNo_, columnOf(line), {}});
            state_ = State::Members;
            return true;
        }
        if (!seenHeading_ && startsWith(line, "RBF file:")) {
            seenHeading_ = true;
            return true;
        }
        return failAt(line, "expected the heading \"RBF file: NAME\" or \"{\", found " + excerpt(line));
    case State::Members:
        break;
    case State::Done:
        return failAt(line, "expected nothing after the closing \"}\" of the file, found " + excerpt(line));
    }
    return true;
}

bool TextReader::badKey(std::string_view line, std::string_view key) {
    if (key.empty())
        return failAt(line, "expected a key before \":\", found none");
    const auto control =
        std::find_if(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (control != key.end())
        return failAt(columnOf(key) + static_cast<std::size_t>(control - key.begin()),
                      "expected a key without control characters, found " + excerpt(key));
    // What the text form cannot carry anyway.
    return failAt(key, "expected a key that the text can hold, found " + excerpt(key));
}

// The hot loop of reading a text, on pointers: `p` to `end` is the line without the blanks around it.
bool TextReader::readMember(const char *p, const char *end) {
    // Depth markers: a '|' followed by a blank or standing last, then blanks; most often "| " each.
    for (;;) {
        p = skipBlanks(skipMarkerPairs(p, end), end);
        if (p == end) // markers alone
            return true;
        if (*p != '|' || (p + 1 != end && !isBlank(p[1])))
            break;
        ++p;
    }
    if (end - p == 1 && *p == '}') {
        open_.pop_back();
        if (open_.empty())
            state_ = State::Done;
        else
            closeTable();
        return true;
    }
    const char *colon = findColonOrControl(p, end);
    // Without control characters before the ':', a key that the markers and blanks have been
    // taken from needs no further check.
    const bool plainKey = colon != p && colon != end && *colon == ':';
    while (colon != end && *colon != ':')
        ++colon;
    if (colon == end)
        return failAt(span(p, end),
                      "expected \"key: value;\", \"key: {\" or \"}\", found " + excerpt(span(p, end)));
    const std::string_view key = span(p, dropBlanks(p, colon));
    if (!plainKey && !keyIsAcceptable(key))
        return badKey(span(p, end), key);
    const char *rest = skipBlanks(colon + 1, end);
    if (end - rest == 1 && *rest == '{') {
        if (open_.size() > static_cast<std::size_t>(kMaxDepth))
            return failAt(key, "expected at most " + std::to_string(kMaxDepth) +
                                   " nested tables, found table " + excerpt(key) + " one level deeper");
        open_.push_back({lineNo_, columnOf(span(rest, end)), std::string(key)});
        openTable(key);
        return true;
    }
    if (rest == end)
        return failAt(columnOf(span(colon + 1, end)), "expected a value and \";\" after \":\" of " +
                                                          excerpt(key) + ", found the end of the line");
    if (end[-1] != ';')
        return failAt(columnOf(span(end, end)), "expected \";\" at the end of the value of " + excerpt(key));
    const std::string_view token = span(rest, dropBlanks(rest, end - 1));
    std::int32_t i = 0;
    if (readShortInteger(token, i)) {
        integer(key, i);
        return true;
    }
    Scalar value;
    if (!parseScalar(token, value, scalarProblem_))
        return failAt(token.empty() ? columnOf(span(end - 1, end)) : columnOf(token), scalarProblem_);
    scalar(key, value);
    return true;
}

std::string readText(std::string_view text, Value &root) {
    TreeBuilder builder(root);
    TextReader reader(builder);
    const std::size_t used = reader.readLines(text);
    reader.finish(text.substr(used));
    return reader.problem();
}

namespace {

template <typename Sink> std::string readTextFile(InputFile &file, Sink &sink, std::size_t pieceSize) {
    TextReader reader(sink);
    std::size_t capacity = std::max<std::size_t>(pieceSize, 1);
    auto buffer = std::make_unique<char[]>(capacity);
    std::size_t filled = 0;
    for (;;) {
        if (filled == capacity) {
            // A line longer than the buffer: a larger one.
            auto larger = std::make_unique<char[]>(capacity * 2);
            std::memcpy(larger.get(), buffer.get(), filled);
            buffer = std::move(larger);
            capacity *= 2;
        }
        std::size_t got = 0;
        const std::string problem = file.read(buffer.get() + filled, capacity - filled, got);
        if (!problem.empty())
            return problem;
        if (got == 0)
            break;
        filled += got;
        const std::size_t used = reader.readLines(std::string_view(buffer.get(), filled));
        if (!reader.problem().empty())
            return reader.problem();
        std::memmove(buffer.get(), buffer.get() + used, filled - used);
        filled -= used;
    }
    reader.finish(std::string_view(buffer.get(), filled));
    return reader.problem();
}

} // namespace

std::string readText(InputFile &file, ValueSink &sink, std::size_t pieceSize) {
    return readTextFile(file, sink, pieceSize);
}

std::string readText(InputFile &file, RbfWriter &writer, std::size_t pieceSize) {
    return readTextFile(file, writer, pieceSize);
}

} // namespace grindle
