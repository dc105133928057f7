// An input file read from start to end in pieces, with the checks and messages of every read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace grindle {

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    // Returns an empty string or why the file cannot be read ("file not found", "is a folder, not
    // a file", "file is larger than 1 GiB", "cannot open: ...").
    std::string open(const std::filesystem::path &path);

    // The size the file had when it was opened; 0 when the file system does not tell.
    std::uintmax_t sizeHint() const { return sizeHint_; }

    // Reads up to `capacity` bytes; `got` is 0 at the end of the file. Returns an empty string or
    // what went wrong, which is also the case once more than 1 GiB has been read.
    std::string read(char *to, std::size_t capacity, std::size_t &got);

    // Reads what is left into `data`, in one piece where the size is known.
    std::string readAll(std::string &data);

private:
    std::FILE *file_ = nullptr;
    std::uintmax_t sizeHint_ = 0;
    std::uintmax_t readSoFar_ = 0;
};

} // namespace grindle
