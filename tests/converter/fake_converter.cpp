// A stand-in converter for the bridge tests. What it does is chosen by the
// environment variable FAKE_CONVERTER_MODE, a comma-separated list worked
// through in order:
//   report    write the working folder and the arguments, one per line, to the
//             file named by FAKE_CONVERTER_REPORT
//   sleep=N   sleep N milliseconds
//   hold      wait until the file named by FAKE_CONVERTER_RELEASE exists (60 s at most)
//   spam=N    write N bytes to standard output and N to standard error
//   out       write the bytes of FAKE_CONVERTER_OUT to standard output, as they are
//   err       write the bytes of FAKE_CONVERTER_ERR to standard error, as they are
//   lines=N   write N lines "output line I" (I from 1) to standard output
//   stdin     read standard input to its end
//   output    write the expected output file (x.rbf -> x.txt, x.txt -> x.rbf)
//   empty     write the expected output file with no content
//   exit=N    end at once with exit code N
//   partial   write the first half of the expected output
//   half      partial, then end with exit code 1
//   signal=N  raise signal N (SIGKILL is 9) against itself
//   pid       write its process id to the file named by FAKE_CONVERTER_REPORT
//   noterm    ignore SIGTERM from here on (a converter that must be killed)
// Without the variable it behaves as "output".

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

std::string OutputPath(const std::string &input) {
    if (input.size() < 4)
        return std::string();
    std::string ext = input.substr(input.size() - 4);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string base = input.substr(0, input.size() - 4);
    if (ext == ".rbf")
        return base + ".txt";
    if (ext == ".txt")
        return base + ".rbf";
    return std::string();
}

void WriteOutput(const std::string &input, bool withContent) {
    const std::string path = OutputPath(input);
    if (path.empty())
        return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (withContent)
        out << "| converted: \"" << input << "\";\r\n";
}

void WriteHalf(const std::string &input) {
    const std::string path = OutputPath(input);
    if (path.empty())
        return;
    const std::string whole = "| converted: \"" + input + "\";\r\n| more: 1;\r\n";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << whole.substr(0, whole.size() / 2);
}

void Report(int argc, char **argv) {
    const char *path = std::getenv("FAKE_CONVERTER_REPORT");
    if (!path)
        return;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::filesystem::current_path().string() << '\n';
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\n';
}

void Spam(long count) {
    const std::string chunk(4096, 'x');
    for (long done = 0; done < count; done += static_cast<long>(chunk.size())) {
        std::fwrite(chunk.data(), 1, chunk.size(), stdout);
        std::fwrite(chunk.data(), 1, chunk.size(), stderr);
    }
    std::fflush(stdout);
}

void Print(const char *variable, std::FILE *stream) {
    if (const char *bytes = std::getenv(variable))
        std::fputs(bytes, stream);
    std::fflush(stream);
}

void Lines(long count) {
    for (long i = 1; i <= count; ++i)
        std::printf("output line %ld\n", i);
    std::fflush(stdout);
}

void Hold() {
    const char *release = std::getenv("FAKE_CONVERTER_RELEASE");
    // Not for ever: a test that failed before letting it go leaves no process behind for long.
    for (int i = 0; release && i < 6000 && !std::filesystem::exists(release); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

void DrainStdin() {
    while (std::cin.get() != std::char_traits<char>::eof()) {
    }
}

} // namespace

int main(int argc, char **argv) {
    const char *env = std::getenv("FAKE_CONVERTER_MODE");
    const std::string input = argc > 1 ? argv[argc - 1] : std::string();
    std::stringstream modes(env ? env : "output");
    std::string mode;
    while (std::getline(modes, mode, ',')) {
        const auto eq = mode.find('=');
        const std::string name = mode.substr(0, eq);
        const long number = eq == std::string::npos ? 0 : std::atol(mode.c_str() + eq + 1);
        if (name == "report")
            Report(argc, argv);
        else if (name == "sleep")
            std::this_thread::sleep_for(std::chrono::milliseconds(number));
        else if (name == "hold")
            Hold();
        else if (name == "spam")
            Spam(number);
        else if (name == "out")
            Print("FAKE_CONVERTER_OUT", stdout);
        else if (name == "err")
            Print("FAKE_CONVERTER_ERR", stderr);
        else if (name == "lines")
            Lines(number);
        else if (name == "stdin")
            DrainStdin();
        else if (name == "output")
            WriteOutput(input, true);
        else if (name == "empty")
            WriteOutput(input, false);
        else if (name == "exit")
            return static_cast<int>(number);
        else if (name == "partial")
            WriteHalf(input);
        else if (name == "half") {
            WriteHalf(input);
            return 1;
        } else if (name == "signal")
            std::raise(static_cast<int>(number));
        else if (name == "pid")
            std::ofstream(std::getenv("FAKE_CONVERTER_REPORT"), std::ios::trunc) << getpid() << '\n';
        else if (name == "noterm")
            std::signal(SIGTERM, SIG_IGN);
    }
    return 0;
}
