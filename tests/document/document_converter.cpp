// A stand-in converter for the document tests, with the real one's command
// line (-q -i path). x.rbf gives x.txt and x.txt gives x.rbf, each a copy of
// the input, so a test writes the text it wants into x.rbf.
//
// What it does is chosen per input file by "<input>.mode" beside the input
// (first line), else by the environment variable DOC_CONVERTER_MODE, else
// "copy". A mode is a list of steps separated by blanks:
//   copy       write the output as a copy of the input (exit 0)
//   same       rewrite the output with the bytes it already holds
//   empty      write an empty output
//   nothing    write nothing, exit 1
//   crash      abort without writing
//   sleep:N    sleep N milliseconds
//   wait       wait until "<input>.go" exists (at most 60 seconds)
//   unreadable take every permission from the output
//   change:N   replace line N (from 1) of the output with "| changed: 1;" (a wrong conversion)
// Every run appends its input path as one line to DOC_CONVERTER_LOG when set.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteAll(const fs::path &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string Lower(std::string text) {
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    const fs::path input(argv[argc - 1]);
    if (const char *log = std::getenv("DOC_CONVERTER_LOG")) {
        std::ofstream out(log, std::ios::app | std::ios::binary);
        out << input.string() << '\n';
    }
    const std::string ext = Lower(input.extension().string());
    fs::path output = input;
    if (ext == ".rbf")
        output.replace_extension(".txt");
    else if (ext == ".txt")
        output.replace_extension(".rbf");
    else
        return 2;

    std::string mode = "copy";
    const fs::path modeFile = input.string() + ".mode";
    if (fs::exists(modeFile)) {
        std::istringstream lines(ReadAll(modeFile));
        std::getline(lines, mode);
    } else if (const char *env = std::getenv("DOC_CONVERTER_MODE")) {
        mode = env;
    }

    std::istringstream steps(mode);
    std::string step;
    while (steps >> step) {
        if (step == "copy") {
            if (!WriteAll(output, ReadAll(input)))
                return 3;
        } else if (step == "same") {
            const std::string old = ReadAll(output);
            if (!WriteAll(output, old))
                return 3;
        } else if (step == "empty") {
            WriteAll(output, std::string());
        } else if (step == "nothing") {
            return 1;
        } else if (step == "crash") {
            std::abort();
        } else if (step.rfind("sleep:", 0) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(step.c_str() + 6)));
        } else if (step.rfind("change:", 0) == 0) {
            std::istringstream in(ReadAll(output));
            std::string result, line;
            for (int number = 1; std::getline(in, line); ++number)
                result +=
                    (number == std::atoi(step.c_str() + 7) ? std::string("| changed: 1;\r") : line) + "\n";
            if (!WriteAll(output, result))
                return 3;
        } else if (step == "unreadable") {
            fs::permissions(output, fs::perms::none);
        } else if (step == "wait") {
            const fs::path go = input.string() + ".go";
            for (int i = 0; i < 6000 && !fs::exists(go); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return 0;
}
