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

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Removes leading depth markers: a '|' followed by a blank or standing last.
std::string_view stripMarkers(std::string_view s) {
    while (!s.empty() && s.front() == '|' && (s.size() == 1 || isBlank(s[1])))
        s = trim(s.substr(1));
    return s;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string where(std::size_t line, std::size_t column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

} // namespace

std::size_t TextReader::columnOf(std::string_view piece) const {
    return static_cast<std::size_t>(piece.data() - line_.data()) + 1;
}

TextReader::Problem TextReader::at(std::string_view piece, std::string message) const {
    return {columnOf(piece), std::move(message)};
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
    const std::string_view trimmed = trim(line);
    lastBlank_ = trimmed.empty();
    lastSize_ = line.size();
    if (trimmed.empty())
        return;
    Problem problem = readTrimmedLine(trimmed);
    if (!problem.message.empty())
        fail(lineNo_, problem.column, problem.message);
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

TextReader::Problem TextReader::readTrimmedLine(std::string_view line) {
    switch (state_) {
    case State::Heading:
        if (line == "{") {
            open_.push_back({lineNo_, columnOf(line), {}});
            state_ = State::Members;
            return {};
        }
        if (!seenHeading_ && startsWith(line, "RBF file:")) {
            seenHeading_ = true;
            return {};
        }
        return at(line, "expected the heading \"RBF file: NAME\" or \"{\", found " + excerpt(line));
    case State::Members:
        return readMember(stripMarkers(line));
    case State::Done:
        return at(line, "expected nothing after the closing \"}\" of the file, found " + excerpt(line));
    }
    return {};
}

TextReader::Problem TextReader::readMember(std::string_view line) {
    if (line.empty()) // markers alone
        return {};
    if (line == "}") {
        open_.pop_back();
        if (open_.empty())
            state_ = State::Done;
        else
            sink_.closeTable();
        return {};
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return at(line, "expected \"key: value;\", \"key: {\" or \"}\", found " + excerpt(line));
    const std::string_view key = trim(line.substr(0, colon));
    if (key.empty())
        return at(line, "expected a key before \":\", found none");
    const auto control =
        std::find_if(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) < 32; });
    if (control != key.end())
        return {columnOf(key) + static_cast<std::size_t>(control - key.begin()),
                "expected a key without control characters, found " + excerpt(key)};
    if (!keyProblem(key).empty()) // what the text form cannot carry anyway
        return at(key, "expected a key that the text can hold, found " + excerpt(key));
    const std::string_view rest = trim(line.substr(colon + 1));
    if (rest == "{") {
        if (open_.size() > static_cast<std::size_t>(kMaxDepth))
            return at(key, "expected at most " + std::to_string(kMaxDepth) + " nested tables, found table " +
                               excerpt(key) + " one level deeper");
        open_.push_back({lineNo_, columnOf(rest), std::string(key)});
        sink_.openTable(key);
        return {};
    }
    if (rest.empty())
        return {columnAfter(line.substr(0, colon + 1)),
                "expected a value and \";\" after \":\" of " + excerpt(key) + ", found the end of the line"};
    if (rest.back() != ';')
        return {columnAfter(rest), "expected \";\" at the end of the value of " + excerpt(key)};
    const std::string_view token = trim(rest.substr(0, rest.size() - 1));
    Scalar value;
    std::string problem = parseScalar(token, value);
    if (!problem.empty())
        return {token.empty() ? columnOf(rest) + rest.size() - 1 : columnOf(token), std::move(problem)};
    sink_.scalar(key, value);
    return {};
}

std::string readText(std::string_view text, Value &root) {
    TreeBuilder builder(root);
    TextReader reader(builder);
    const std::size_t used = reader.readLines(text);
    reader.finish(text.substr(used));
    return reader.problem();
}

std::string readText(InputFile &file, ValueSink &sink, std::size_t pieceSize) {
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

} // namespace grindle
