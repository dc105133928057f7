// Whole-file reading and replacing a file without ever leaving it half written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace grindle {

// Inputs above this size are refused, which also keeps every length in the file within 32 bits.
constexpr std::uintmax_t kMaxInputSize = std::uintmax_t{1} << 30;

// Opens for binary reading or writing; wide file names on Windows, so that any path opens.
std::FILE *openFile(const std::filesystem::path &path, bool forWriting);
std::string errnoText(int code);

// Reads the whole file into `data`; returns an empty string or what went wrong.
std::string readWholeFile(const std::filesystem::path &path, std::string &data);

// Writes `data` to a new temporary file beside `target` and renames it over `target`, so that a
// failure leaves `target` as it was. An existing `target` keeps its mode (POSIX). Returns an empty
// string or what went wrong.
std::string replaceFile(const std::filesystem::path &target, const std::string &data);

} // namespace grindle
