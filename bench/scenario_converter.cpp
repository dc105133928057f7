// The converter of the scenario: the real converter's command line (-q -i path), but no
// conversion, so that the scenario times the window and not the converter.
//
// x.rbf gives x.txt: "x.txt.ready", prepared by the scenario, is hard-linked to a temporary
// name beside it and renamed over x.txt, so the output appears at once and whole, whatever its
// size (a copy when the file system has no hard links).
// x.txt gives x.rbf: a copy of "x.rbf.ready" (the real converter's output for the prepared text),
// written to a temporary name and renamed over x.rbf, so the file is new, as a conversion leaves it.

#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Puts the prepared output in place: linked (or copied) to a temporary name, then renamed over.
int PutInPlace(const fs::path &output, bool link) {
    const fs::path ready = output.string() + ".ready";
    const fs::path temporary = output.string() + ".swap";
    std::error_code error;
    fs::remove(temporary, error);
    error.clear();
    if (link)
        fs::create_hard_link(ready, temporary, error);
    if ((!link || error) && !fs::copy_file(ready, temporary, error))
        return 3;
    fs::rename(temporary, output, error);
    return error ? 3 : 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    const fs::path input(argv[argc - 1]);
    const std::string ext = input.extension().string();
    fs::path output = input;
    if (ext == ".rbf")
        return PutInPlace(output.replace_extension(".txt"), true);
    if (ext == ".txt")
        return PutInPlace(output.replace_extension(".rbf"), false);
    return 2;
}
