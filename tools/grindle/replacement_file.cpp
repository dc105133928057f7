#include "replacement_file.h"

#include "file_io.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <random>
#include <system_error>

#include "windows_api.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace grindle {

namespace {

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

#ifndef _WIN32
// The temporary file being written, for a stop request to remove: the editor asks a conversion
// that takes too long to stop (SIGTERM), and a person may press Ctrl+C.
char pendingPath[4096];
volatile std::sig_atomic_t havePending = 0;

extern "C" void removePendingAndStop(int signal) {
    if (havePending)
        unlink(pendingPath); // async-signal-safe, unlike std::remove
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void rememberPending(const fs::path &temporary) {
    static const bool installed = [] {
        std::signal(SIGTERM, removePendingAndStop);
        std::signal(SIGINT, removePendingAndStop);
        return true;
    }();
    (void)installed;
    const std::string &native = temporary.native();
    if (native.size() >= sizeof pendingPath)
        return;
    havePending = 0;
    std::memcpy(pendingPath, native.c_str(), native.size() + 1);
    havePending = 1;
}

void forgetPending() {
    havePending = 0;
}
#else
// Windows ends a process without telling it.
void rememberPending(const fs::path &) {}
void forgetPending() {}
#endif

bool seekTo(std::FILE *file, std::uint64_t offset) {
#ifdef _WIN32
    // long has 32 bits on Windows; outputs may be larger than 2 GiB.
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
#endif
}

} // namespace

ReplacementFile::ReplacementFile(const fs::path &target)
    : target_(target), temporary_(temporaryBeside(target)) {
    file_ = openFile(temporary_, true);
    if (!file_) {
        problem_ = "cannot create a file in its folder: " + errnoText(errno);
        return;
    }
    // Writes come in large pieces from the caller's buffer: a second buffer would only copy.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    rememberPending(temporary_);
}

ReplacementFile::~ReplacementFile() {
    discard();
}

void ReplacementFile::fail(const std::string &what) {
    if (problem_.empty())
        problem_ = what;
}

void ReplacementFile::write(const char *bytes, std::size_t size) {
    if (!problem_.empty() || size == 0)
        return;
    if (std::fwrite(bytes, 1, size, file_) != size)
        fail("cannot write: " + errnoText(errno));
}

void ReplacementFile::patchLater(std::uint64_t offset, const char *bytes, std::size_t size) {
    Patch p{offset, {}, size};
    std::memcpy(p.bytes, bytes, size < sizeof p.bytes ? size : sizeof p.bytes);
    patches_.push_back(p);
}

bool ReplacementFile::applyPatches() {
    for (const Patch &p : patches_) {
        if (!seekTo(file_, p.offset) || std::fwrite(p.bytes, 1, p.size, file_) != p.size) {
            fail("cannot write: " + errnoText(errno));
            return false;
        }
    }
    patches_.clear();
    return true;
}

void ReplacementFile::discard() {
    if (file_) {
        forgetPending();
        std::fclose(file_);
        file_ = nullptr;
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
}

std::string ReplacementFile::commit() {
    if (!problem_.empty()) {
        discard();
        return problem_;
    }
    const bool written = applyPatches() && std::fflush(file_) == 0;
    const int code = errno;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(temporary_, ec);
        forgetPending();
        fail("cannot write: " + errnoText(written ? errno : code));
        return problem_;
    }
#ifndef _WIN32
    // The replaced file keeps its mode (a read-only file stays read-only, a private one private);
    // the new one would otherwise get the default mode.
    const fs::file_status old = fs::status(target_, ec);
    if (!ec && fs::is_regular_file(old))
        fs::permissions(temporary_, old.permissions(), fs::perm_options::replace, ec);
    ec.clear();
#endif
    // Until the rename, a stop still removes the temporary file; after it, that name is gone.
    const bool moved = moveOver(temporary_, target_, ec);
    forgetPending();
    if (!moved) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        fail("cannot replace: " + ec.message());
        return problem_;
    }
    return {};
}

} // namespace grindle
