// One conversion as the command line asks for it: x.rbf to x.txt or x.txt to x.rbf, beside it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace grindle {

enum ExitCode : int { kExitOk = 0, kExitBadInput = 1, kExitUsage = 2, kExitWriteFailed = 3 };

struct Outcome {
    int exitCode = kExitOk;
    std::filesystem::path output;  // the file written, or that would have been written
    std::filesystem::path subject; // the file that `message` is about
    std::string message;           // empty on success
};

// The pieces in which text is read and output written: large enough that the system calls cost
// nothing beside the conversion, small enough to stay in the processor's caches.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

// The file that converting `input` writes: the other extension, lower case, same folder and base
// name. Empty when the input's extension is neither ".rbf" nor ".txt" (in any letter case).
std::filesystem::path outputPathFor(const std::filesystem::path &input);

// The name that the text heading shows for an RBF file, in code page 1252.
std::string headingName(const std::filesystem::path &rbfPath);

// Converts in the direction that the input's extension gives, as it reads: neither the input's
// tree nor the whole output is ever held. The input is only read; the output is replaced only by
// a complete, converted file. A problem in the input is told before one with the output.
Outcome convertFile(const std::filesystem::path &input, std::size_t pieceSize = kPieceSize);

} // namespace grindle
