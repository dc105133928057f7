#include "command_line.h"

#include <charconv>

// The build passes the project's version; a build by hand says so.
#ifndef GRINDLE_VERSION
#define GRINDLE_VERSION "(unversioned build)"
#endif

namespace fs = std::filesystem;

namespace grindle {

namespace {

Command error(std::string message) {
    Command c;
    c.error = std::move(message);
    return c;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

std::string_view skipSpaces(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    return s;
}

// Splits on blanks; double quotes group blanks into one argument. Used only for the rarely typed
// options after the program name, so the finer Windows rules for backslashes are not needed.
std::vector<std::string> splitWords(std::string_view s) {
    std::vector<std::string> words;
    s = skipSpaces(s);
    while (!s.empty()) {
        std::string word;
        bool quoted = false;
        while (!s.empty() && (quoted || !isSpace(s.front()))) {
            if (s.front() == '"')
                quoted = !quoted;
            else
                word += s.front();
            s.remove_prefix(1);
        }
        words.push_back(std::move(word));
        s = skipSpaces(s);
    }
    return words;
}

std::string_view skipProgramName(std::string_view s) {
    s = skipSpaces(s);
    if (!s.empty() && s.front() == '"') {
        const std::size_t close = s.find('"', 1);
        return close == std::string_view::npos ? std::string_view{} : s.substr(close + 1);
    }
    std::size_t end = 0;
    while (end < s.size() && !isSpace(s[end]))
        ++end;
    return s.substr(end);
}

Command parseGenerate(const std::string &count, const std::string &output) {
    Command c;
    const auto res = std::from_chars(count.data(), count.data() + count.size(), c.lines);
    if (res.ec != std::errc() || res.ptr != count.data() + count.size() || c.lines == 0 ||
        c.lines > kMaxGeneratedLines)
        return error("LINES must be a number from 1 to " + std::to_string(kMaxGeneratedLines) + ": " + count);
    c.kind = Command::Kind::Generate;
    c.output = fs::u8path(output);
    return c;
}

} // namespace

Command parseArguments(const std::vector<std::string> &args) {
    Command c;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a == "-h" || a == "--help") {
            c.kind = Command::Kind::Help;
            return c;
        }
        if (a == "--version") {
            c.kind = Command::Kind::Version;
            return c;
        }
        if (a == "-q") {
            c.quiet = true;
        } else if (a == "-i") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return error("missing path after -i");
            if (i + 2 < args.size())
                return error("unexpected argument after the path: " + args[i + 2]);
            c.kind = Command::Kind::Convert;
            c.input = fs::u8path(args[i + 1]);
            return c;
        } else if (a == "--generate") {
            if (i + 3 != args.size())
                return error("--generate needs LINES and OUT.txt");
            const bool quiet = c.quiet;
            c = parseGenerate(args[i + 1], args[i + 2]);
            c.quiet = quiet;
            return c;
        } else {
            return error("unknown argument: " + a);
        }
    }
    return error("missing -i PATH");
}

Command parseWindowsCommandLine(std::string_view commandLine) {
    std::string_view rest = skipSpaces(skipProgramName(commandLine));
    bool quiet = false;
    for (;;) {
        if (rest.substr(0, 2) == "-q" && (rest.size() == 2 || isSpace(rest[2]))) {
            quiet = true;
            rest = skipSpaces(rest.substr(2));
        } else if (rest.substr(0, 2) == "-i" && (rest.size() == 2 || isSpace(rest[2]))) {
            std::string_view path = skipSpaces(rest.substr(2));
            if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
                path = path.substr(1, path.size() - 2);
            if (path.empty())
                return error("missing path after -i");
            Command c;
            c.kind = Command::Kind::Convert;
            c.quiet = quiet;
            c.input = fs::u8path(std::string(path));
            return c;
        } else {
            break;
        }
    }
    std::vector<std::string> words = splitWords(rest);
    if (quiet)
        words.insert(words.begin(), "-q");
    return parseArguments(words);
}

std::string usageText() {
    return "usage: grindle [-q] -i PATH            convert x.rbf to x.txt or x.txt to x.rbf beside it\n"
           "       grindle --generate LINES OUT.txt  write a test text of about LINES lines\n"
           "       grindle --help | --version       print this help or the version\n"
           "  -q  print nothing on success\n";
}

std::string versionText() {
    return "grindle " GRINDLE_VERSION "\n";
}

} // namespace grindle
