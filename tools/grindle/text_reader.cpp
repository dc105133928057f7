#include "text_reader.h"

#include "excerpt.h"
#include "scalar_text.h"

#include <algorithm>
#include <vector>

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

struct OpenTable {
    Value *table;
    std::size_t line;
    std::size_t column; // of its "{"
    std::string key;
};

// What is wrong, and where in its line (from 1); an empty message when nothing is.
struct Problem {
    std::size_t column = 0;
    std::string message;
};

class TextReader {
public:
    explicit TextReader(Value &root) : root_(root) {}

    std::string read(std::string_view text) {
        root_ = Value::makeTable();
        std::size_t lineNo = 0;
        std::size_t pos = 0;
        std::string_view last;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            pos = end + 1;
            ++lineNo;
            line_ = line;
            last = line;
            const Problem problem = readLine(trim(line), lineNo);
            if (!problem.message.empty())
                return where(lineNo, problem.column) + problem.message;
        }
        if (state_ == State::Heading) {
            // Where the "{" would have had to follow: after the last line.
            return where(std::max<std::size_t>(lineNo, 1), trim(last).empty() ? 1 : last.size() + 1) +
                   "expected \"{\", found the end of the text";
        }
        if (state_ == State::Members) {
            const OpenTable &open = stack_.back();
            if (stack_.size() == 1)
                return where(open.line, open.column) +
                       "expected \"}\" to close the \"{\" here, found the end of the text";
            return where(open.line, open.column) + "expected \"}\" to close table " + excerpt(open.key) +
                   ", found the end of the text";
        }
        return {};
    }

private:
    enum class State { Heading, Members, Done };

    static std::string where(std::size_t line, std::size_t column) {
        return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
    }

    // The column (from 1) at which a piece of the current line starts.
    std::size_t columnOf(std::string_view piece) const {
        return static_cast<std::size_t>(piece.data() - line_.data()) + 1;
    }
    // The column just after a piece of the current line.
    std::size_t columnAfter(std::string_view piece) const { return columnOf(piece) + piece.size(); }

    Problem at(std::string_view piece, std::string message) const {
        return {columnOf(piece), std::move(message)};
    }

    Problem readLine(std::string_view line, std::size_t lineNo) {
        if (line.empty())
            return {};
        switch (state_) {
        case State::Heading:
            if (line == "{") {
                stack_.push_back({&root_, lineNo, columnOf(line), {}});
                state_ = State::Members;
                return {};
            }
            if (!seenHeading_ && startsWith(line, "RBF file:")) {
                seenHeading_ = true;
                return {};
            }
            return at(line, "expected the heading \"RBF file: NAME\" or \"{\", found " + excerpt(line));
        case State::Members:
            return readMember(stripMarkers(line), lineNo);
        case State::Done:
            return at(line, "expected nothing after the closing \"}\" of the file, found " + excerpt(line));
        }
        return {};
    }

    Problem readMember(std::string_view line, std::size_t lineNo) {
        if (line.empty()) // markers alone
            return {};
        if (line == "}") {
            stack_.pop_back();
            if (stack_.empty())
                state_ = State::Done;
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
        Value &table = *stack_.back().table;
        if (rest == "{") {
            if (stack_.size() > static_cast<std::size_t>(kMaxDepth))
                return at(key, "expected at most " + std::to_string(kMaxDepth) +
                                   " nested tables, found table " + excerpt(key) + " one level deeper");
            table.members.push_back({std::string(key), Value::makeTable()});
            stack_.push_back({&table.members.back().value, lineNo, columnOf(rest), std::string(key)});
            return {};
        }
        if (rest.empty())
            return {columnAfter(line.substr(0, colon + 1)), "expected a value and \";\" after \":\" of " +
                                                                excerpt(key) + ", found the end of the line"};
        if (rest.back() != ';')
            return {columnAfter(rest), "expected \";\" at the end of the value of " + excerpt(key)};
        const std::string_view token = trim(rest.substr(0, rest.size() - 1));
        Value value;
        std::string problem = parseScalar(token, value);
        if (!problem.empty())
            return {token.empty() ? columnOf(rest) + rest.size() - 1 : columnOf(token), std::move(problem)};
        table.members.push_back({std::string(key), std::move(value)});
        return {};
    }

    Value &root_;
    State state_ = State::Heading;
    bool seenHeading_ = false;
    std::string_view line_; // the line being read, as it stands (without its line break)
    // The open tables, innermost last. Only the innermost one grows, so the pointers stay valid.
    std::vector<OpenTable> stack_;
};

} // namespace

std::string readText(std::string_view text, Value &root) {
    return TextReader(root).read(text);
}

} // namespace grindle
