#ifdef _MSC_VER
// fopen and _wfopen are used as the portable C functions they are.
#define _CRT_SECURE_NO_WARNINGS
#endif

#include "file_io.h"

#include "input_file.h"
#include "replacement_file.h"

#include <system_error>

namespace fs = std::filesystem;

namespace grindle {

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

std::string readWholeFile(const fs::path &path, std::string &data) {
    InputFile file;
    const std::string problem = file.open(path);
    return problem.empty() ? file.readAll(data) : problem;
}

std::string replaceFile(const fs::path &target, const std::string &data) {
    ReplacementFile file(target);
    file.write(data.data(), data.size());
    return file.commit();
}

} // namespace grindle
