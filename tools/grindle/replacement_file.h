// A file written to a temporary name beside its target and renamed over it only when complete, so
// that a failure at any point leaves the target as it was.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace grindle {

class ReplacementFile {
public:
    // Creates the temporary file; problem() says why when that fails.
    explicit ReplacementFile(const std::filesystem::path &target);
    // Removes the temporary file unless commit() succeeded.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile &) = delete;
    ReplacementFile &operator=(const ReplacementFile &) = delete;

    // Empty while everything has gone well, otherwise the first thing that went wrong ("cannot
    // create a file in its folder: ...", "cannot write: ..."); writes after it do nothing.
    const std::string &problem() const { return problem_; }

    void write(const char *bytes, std::size_t size);
    // Replaces bytes written earlier at `offset`, when the file is complete.
    void patchLater(std::uint64_t offset, const char *bytes, std::size_t size);

    // Applies the patches, closes the file, gives it the mode of the file it replaces (POSIX) and
    // renames it over the target. Returns an empty string or what went wrong.
    std::string commit();

private:
    struct Patch {
        std::uint64_t offset;
        char bytes[8];
        std::size_t size;
    };

    void fail(const std::string &what);
    bool applyPatches();
    void discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::FILE *file_ = nullptr;
    std::string problem_;
    std::vector<Patch> patches_;
};

} // namespace grindle
