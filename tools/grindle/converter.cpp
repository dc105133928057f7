#include "converter.h"

#include "code_page.h"
#include "input_file.h"
#include "output_buffer.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "replacement_file.h"
#include "text_reader.h"
#include "text_writer.h"

namespace fs = std::filesystem;

namespace grindle {

namespace {

std::string lowerAscii(std::string s) {
    for (char &c : s) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

Outcome failure(int code, const fs::path &subject, std::string message, const fs::path &output = {}) {
    Outcome o;
    o.exitCode = code;
    o.subject = subject;
    o.message = std::move(message);
    o.output = output;
    return o;
}

// Both read in pieces, the output written as it is made.
std::string rbfToText(InputFile &file, const fs::path &input, OutputBuffer &out, std::size_t pieceSize) {
    TextWriter writer(out, headingName(input));
    const std::string problem = readRbf(file, writer, pieceSize);
    if (problem.empty())
        writer.finish();
    return problem;
}

std::string textToRbf(InputFile &file, OutputBuffer &out, std::size_t pieceSize) {
    RbfWriter writer(out);
    const std::string problem = readText(file, writer, pieceSize);
    if (problem.empty())
        writer.finish();
    return problem;
}

} // namespace

fs::path outputPathFor(const fs::path &input) {
    const std::string ext = lowerAscii(input.extension().u8string());
    fs::path out = input;
    if (ext == ".rbf")
        return out.replace_extension(".txt");
    if (ext == ".txt")
        return out.replace_extension(".rbf");
    return {};
}

std::string headingName(const fs::path &rbfPath) {
    return utf8ToCp1252(rbfPath.filename().u8string());
}

Outcome convertFile(const fs::path &input, std::size_t pieceSize) {
    const fs::path output = outputPathFor(input);
    if (output.empty())
        return failure(kExitUsage, input, "unknown extension (expected .rbf or .txt)");
    // Opened before a temporary file is made: a missing input leaves the folder untouched.
    InputFile in;
    const std::string opened = in.open(input);
    if (!opened.empty())
        return failure(kExitBadInput, input, opened, output);

    ReplacementFile file(output);
    // When the output cannot be written, the input is still read to the end: its own problems
    // come first.
    OutputBuffer out(file.problem().empty() ? &file : nullptr, pieceSize);
    const bool fromRbf = lowerAscii(input.extension().u8string()) == ".rbf";
    const std::string problem =
        fromRbf ? rbfToText(in, input, out, pieceSize) : textToRbf(in, out, pieceSize);
    if (!problem.empty())
        return failure(kExitBadInput, input, problem, output);
    out.flush();
    const std::string written = file.commit();
    if (!written.empty())
        return failure(kExitWriteFailed, output, written, output);
    Outcome ok;
    ok.output = output;
    return ok;
}

} // namespace grindle
