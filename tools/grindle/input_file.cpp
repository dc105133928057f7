#include "input_file.h"

#include "file_io.h"

#include <cerrno>
#include <system_error>

namespace fs = std::filesystem;

namespace grindle {

InputFile::~InputFile() {
    if (file_)
        std::fclose(file_);
}

std::string InputFile::open(const fs::path &path) {
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
    sizeHint_ = ec ? 0 : size;

    file_ = openFile(path, false);
    if (!file_)
        return "cannot open: " + errnoText(errno);
    // Reads come in large pieces into the caller's buffer: a second buffer would only copy.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    return {};
}

std::string InputFile::read(char *to, std::size_t capacity, std::size_t &got) {
    got = std::fread(to, 1, capacity, file_);
    if (got == 0 && std::ferror(file_))
        return "cannot read: " + errnoText(errno);
    readSoFar_ += got;
    if (readSoFar_ > kMaxInputSize)
        return "file is larger than 1 GiB";
    return {};
}

std::string InputFile::readAll(std::string &data) {
    // One byte more than the size, so that the first read already meets the end.
    data.resize(static_cast<std::size_t>(sizeHint_) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2);
        std::size_t got = 0;
        const std::string problem = read(&data[used], data.size() - used, got);
        if (!problem.empty()) {
            data.clear();
            return problem;
        }
        if (got == 0)
            break;
        used += got;
    }
    data.resize(used);
    return {};
}

} // namespace grindle
