#include "converter.h"

#include "code_page.h"
#include "file_io.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
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

Outcome convertFile(const fs::path &input) {
    const fs::path output = outputPathFor(input);
    if (output.empty())
        return failure(kExitUsage, input, "unknown extension (expected .rbf or .txt)");

    std::string data;
    std::string problem = readWholeFile(input, data);
    if (!problem.empty())
        return failure(kExitBadInput, input, problem, output);

    Value root;
    std::string converted;
    const bool fromRbf = lowerAscii(input.extension().u8string()) == ".rbf";
    if (fromRbf) {
        problem = readRbf(data, root);
        if (problem.empty())
            converted = writeText(root, headingName(input));
    } else {
        problem = readText(data, root);
        if (problem.empty())
            converted = writeRbf(root);
    }
    if (!problem.empty())
        return failure(kExitBadInput, input, problem, output);
    data = std::string(); // large inputs: keep at most two copies in memory

    problem = replaceFile(output, converted);
    if (!problem.empty())
        return failure(kExitWriteFailed, output, problem, output);
    Outcome ok;
    ok.output = output;
    return ok;
}

} // namespace grindle
