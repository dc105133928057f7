#ifdef _MSC_VER
// fopen and _wfopen are used as the portable C functions they are.
#define _CRT_SECURE_NO_WARNINGS
#endif

#include "file_io.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "windows_api.h"

namespace fs = std::filesystem;

namespace grindle {

namespace {

// Wide file names on Windows, so that any path opens; the bytes as they are elsewhere.
std::FILE *openFile(const fs::path &path, bool forWriting) {
#ifdef _WIN32
    return _wfopen(path.c_str(), forWriting ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), forWriting ? "wb" : "rb");
#endif
}

std::string errnoText(int code) {
    return std::generic_category().message(code);
}

bool moveOver(const fs::path &from, const fs::path &to, std::error_code &ec) {
#ifdef _WIN32
    // std::filesystem::rename does not replace an existing file with every Windows runtime.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
    return false;
#else
    fs::rename(from, to, ec);
    return !ec;
#endif
}

fs::path temporaryBeside(const fs::path &target) {
    static std::uint64_t counter = 0;
    std::random_device device;
    const std::uint64_t seed =
        (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937_64 random(seed + ++counter);
    fs::path candidate;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[40];
        std::snprintf(name, sizeof name, ".grindle-%016llx.tmp", static_cast<unsigned long long>(random()));
        candidate = target.parent_path() / name;
        std::error_code ec;
        // An unreadable folder ends the search too: creating the file will then say why.
        if (!fs::exists(candidate, ec))
            break;
    }
    return candidate;
}

} // namespace

std::string readWholeFile(const fs::path &path, std::string &data) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return "file not found";
    if (ec)
        return "cannot read: " + ec.message();
    if (status.type() == fs::file_type::directory)
        return "is a folder, not a file";
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxInputSize)
        return "file is larger than 1 GiB";

    std::FILE *file = openFile(path, false);
    if (!file)
        return "cannot open: " + errnoText(errno);
    data.clear();
    if (!ec)
        data.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (data.size() + got > kMaxInputSize) {
            std::fclose(file);
            return "file is larger than 1 GiB";
        }
        data.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    const int code = errno;
    std::fclose(file);
    if (failed)
        return "cannot read: " + errnoText(code);
    return {};
}

std::string replaceFile(const fs::path &target, const std::string &data) {
    const fs::path temporary = temporaryBeside(target);
    std::FILE *file = openFile(temporary, true);
    if (!file)
        return "cannot create a file in its folder: " + errnoText(errno);
    const bool written =
        std::fwrite(data.data(), 1, data.size(), file) == data.size() && std::fflush(file) == 0;
    const int code = errno;
    const bool closed = std::fclose(file) == 0;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(temporary, ec);
        return "cannot write: " + errnoText(written ? errno : code);
    }
#ifndef _WIN32
    // The replaced file keeps its mode (a read-only file stays read-only, a private one private);
    // the new one would otherwise get the default mode.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ec);
    ec.clear();
#endif
    if (!moveOver(temporary, target, ec)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return "cannot replace: " + ec.message();
    }
    return {};
}

} // namespace grindle
