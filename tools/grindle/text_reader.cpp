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
    std::string key;
};

class TextReader {
public:
    explicit TextReader(Value &root) : root_(root) {}

    std::string read(std::string_view text) {
        root_ = Value::makeTable();
        std::size_t lineNo = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            pos = end + 1;
            ++lineNo;
            std::string problem = readLine(trim(line), lineNo);
            if (!problem.empty())
                return "line " + std::to_string(lineNo) + ": " + problem;
        }
        if (state_ == State::Heading)
            return "line " + std::to_string(std::max<std::size_t>(lineNo, 1)) + ": the text has no \"{\"";
        if (state_ == State::Members) {
            const OpenTable &open = stack_.back();
            if (stack_.size() == 1)
                return "line " + std::to_string(open.line) + ": the \"{\" here is never closed by \"}\"";
            return "line " + std::to_string(open.line) + ": table " + excerpt(open.key) +
                   " is never closed by \"}\"";
        }
        return {};
    }

private:
    enum class State { Heading, Members, Done };

    std::string readLine(std::string_view line, std::size_t lineNo) {
        if (line.empty())
            return {};
        switch (state_) {
        case State::Heading:
            if (line == "{") {
                stack_.push_back({&root_, lineNo, {}});
                state_ = State::Members;
                return {};
            }
            if (!seenHeading_ && startsWith(line, "RBF file:")) {
                seenHeading_ = true;
                return {};
            }
            return "expected the heading \"RBF file: NAME\" or \"{\", found " + excerpt(line);
        case State::Members:
            return readMember(stripMarkers(line), lineNo);
        case State::Done:
            return "text after the closing \"}\" of the file: " + excerpt(line);
        }
        return {};
    }

    std::string readMember(std::string_view line, std::size_t lineNo) {
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
            return "expected \"key: value;\", \"key: {\" or \"}\", found " + excerpt(line);
        const std::string_view key = trim(line.substr(0, colon));
        std::string problem = keyProblem(key);
        if (!problem.empty())
            return problem;
        const std::string_view rest = trim(line.substr(colon + 1));
        Value &table = *stack_.back().table;
        if (rest == "{") {
            if (stack_.size() > static_cast<std::size_t>(kMaxDepth))
                return "tables nested deeper than " + std::to_string(kMaxDepth);
            table.members.push_back({std::string(key), Value::makeTable()});
            stack_.push_back({&table.members.back().value, lineNo, std::string(key)});
            return {};
        }
        if (rest.empty() || rest.back() != ';')
            return "missing \";\" at the end of the value of " + excerpt(key);
        Value value;
        problem = parseScalar(trim(rest.substr(0, rest.size() - 1)), value);
        if (!problem.empty())
            return problem;
        table.members.push_back({std::string(key), std::move(value)});
        return {};
    }

    Value &root_;
    State state_ = State::Heading;
    bool seenHeading_ = false;
    // The open tables, innermost last. Only the innermost one grows, so the pointers stay valid.
    std::vector<OpenTable> stack_;
};

} // namespace

std::string readText(std::string_view text, Value &root) {
    return TextReader(root).read(text);
}

} // namespace grindle
