// The converter of the scenario: the real converter's command line (-q -i path), but no
// conversion, so that the scenario times the window and not the converter.
//
// x.rbf gives x.txt: "x.txt.ready", prepared by the scenario, is hard-linked to a temporary
// name beside it and renamed over x.txt, so the output appears at once and whole, whatever its
// size (a copy when the file system has no hard links).
// x.txt gives x.rbf: a few bytes that differ on every run (the time in nanoseconds), so that the
// save's check that the RBF file was rewritten passes.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

int MakeText(const fs::path &input) {
    fs::path output = input;
    output.replace_extension(".txt");
    const fs::path ready = output.string() + ".ready";
    const fs::path temporary = output.string() + ".swap";
    std::error_code error;
    fs::remove(temporary, error);
    fs::create_hard_link(ready, temporary, error);
    if (error && !fs::copy_file(ready, temporary, error))
        return 3;
    fs::rename(temporary, output, error);
    return error ? 3 : 0;
}

int MakeRbf(const fs::path &input) {
    fs::path output = input;
    output.replace_extension(".rbf");
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out << "KRBF " << std::chrono::steady_clock::now().time_since_epoch().count() << '\n';
    return out ? 0 : 3;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    const fs::path input(argv[argc - 1]);
    const std::string ext = input.extension().string();
    if (ext == ".rbf")
        return MakeText(input);
    if (ext == ".txt")
        return MakeRbf(input);
    return 2;
}
