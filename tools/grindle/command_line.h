// What the command line asks for.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace grindle {

struct Command {
    enum class Kind { Convert, Generate, Help, Version, Error };
    Kind kind = Kind::Error;
    bool quiet = false;
    std::filesystem::path input;  // Convert
    std::uint64_t lines = 0;      // Generate
    std::filesystem::path output; // Generate
    std::string error;            // Error
};

constexpr std::uint64_t kMaxGeneratedLines = 100'000'000;

// Arguments after the program name, in UTF-8: "-q -i PATH" (PATH is one argument, blanks and
// all), "--generate LINES OUT.txt", "--help".
Command parseArguments(const std::vector<std::string> &args);

// A whole Windows command line in UTF-8, program name first. Everything after "-i " is the path,
// blanks included and without quotes, as the editor passes it.
Command parseWindowsCommandLine(std::string_view commandLine);

std::string usageText();
// "grindle" and the version it was built as, one line.
std::string versionText();

} // namespace grindle
