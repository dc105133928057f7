// Reading converted text, as grindle writes it or as a person edited it.
#pragma once

#include "input_file.h"
#include "rbf_model.h"
#include "rbf_writer.h"
#include "value_sink.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace grindle {

// Reads the text line by line, in as many pieces as it comes in, and sends every member to a
// sink. What is wrong is told in one line: "line N, column M: expected WHAT, found WHAT" (both
// from 1; columns count bytes). The structure is taken from the braces; depth markers are
// accepted but not required, blanks and tabs around markers, keys and values are free, lines may
// end in LF or CR LF.
class TextReader {
public:
    explicit TextReader(ValueSink &sink) : sink_(sink) {}
    // The same with direct calls to the RBF writer, which the converter feeds.
    explicit TextReader(RbfWriter &writer);

    // Reads the complete lines (each ending in LF) at the start of `text` and returns the bytes
    // they take: where the next piece has to start. Stops after a line with a problem.
    std::size_t readLines(std::string_view text);
    // The end of the text; `rest` is its last line when that has no line break (else empty).
    void finish(std::string_view rest);

    // Empty while nothing is wrong.
    const std::string &problem() const { return problem_; }

private:
    enum class State { Heading, Members, Done };

    struct OpenTable {
        std::size_t line;
        std::size_t column; // of its "{"
        std::string key;
    };

    void readLine(std::string_view line);
    // False once the line has a problem, which `problem_` then tells.
    bool readOutsideMembers(std::string_view line);
    bool readMember(const char *p, const char *end);
    bool badKey(std::string_view line, std::string_view key);
    // Records what is wrong at a column of the current line; returns false.
    bool failAt(std::size_t column, const std::string &message);
    bool failAt(std::string_view piece, const std::string &message) {
        return failAt(columnOf(piece), message);
    }
    void fail(std::size_t line, std::size_t column, const std::string &message);
    std::size_t columnOf(std::string_view piece) const;

    void scalar(std::string_view key, const Scalar &value);
    void integer(std::string_view key, std::int32_t value);
    void openTable(std::string_view key);
    void closeTable();

    ValueSink &sink_;
    RbfWriter *rbf_ = nullptr; // the sink, when it is one
    State state_ = State::Heading;
    bool seenHeading_ = false;
    std::size_t lineNo_ = 0;
    std::string_view line_; // the line being read, as it stands (without its line break)
    bool lastBlank_ = true; // the last line read was empty or blank
    std::size_t lastSize_ = 0;
    std::vector<OpenTable> open_; // innermost last; the first is the outer "{"
    std::string problem_;
    std::string scalarProblem_;
};

// A whole text in memory into `root`; returns an empty string or what is wrong.
std::string readText(std::string_view text, Value &root);

// A text file, read in pieces of `pieceSize` bytes (more for a longer line); returns an empty
// string, what is wrong in the text, or why the file could not be read.
std::string readText(InputFile &file, ValueSink &sink, std::size_t pieceSize);
std::string readText(InputFile &file, RbfWriter &writer, std::size_t pieceSize);

} // namespace grindle
