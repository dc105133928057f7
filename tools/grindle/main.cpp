// grindle: the converter between RBF files and the text that Kestrelbench edits.
#include "command_line.h"
#include "converter.h"
#include "file_io.h"
#include "generator.h"

#include <cstdio>
#include <string>
#include <vector>

#include "windows_api.h"

namespace fs = std::filesystem;
using namespace grindle;

namespace {

void report(const fs::path &subject, const std::string &message) {
    std::fprintf(stderr, "grindle: %s: %s\n", subject.u8string().c_str(), message.c_str());
}

#ifdef _WIN32
// The editor passes the path unquoted after "-i ", so the raw command line is read rather than the
// runtime's split of it.
std::string rawCommandLine() {
    const wchar_t *wide = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(size - 1));
    return utf8;
}
#endif

int generate(const Command &command) {
    fs::path rbf = command.output;
    rbf.replace_extension(".rbf");
    const std::string problem = replaceFile(command.output, generateText(command.lines, headingName(rbf)));
    if (!problem.empty()) {
        report(command.output, problem);
        return kExitWriteFailed;
    }
    if (!command.quiet)
        std::printf("grindle: wrote %s\n", command.output.u8string().c_str());
    return kExitOk;
}

int convert(const Command &command) {
    const Outcome outcome = convertFile(command.input);
    if (outcome.exitCode != kExitOk) {
        report(outcome.subject, outcome.message);
        return outcome.exitCode;
    }
    if (!command.quiet)
        std::printf("grindle: wrote %s\n", outcome.output.u8string().c_str());
    return kExitOk;
}

} // namespace

int main(int argc, char **argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const Command command = parseWindowsCommandLine(rawCommandLine());
#else
    const Command command = parseArguments(std::vector<std::string>(argv + 1, argv + argc));
#endif
    switch (command.kind) {
    case Command::Kind::Convert:
        return convert(command);
    case Command::Kind::Generate:
        return generate(command);
    case Command::Kind::Help:
        std::fputs(usageText().c_str(), stdout);
        return kExitOk;
    case Command::Kind::Version:
        std::fputs(versionText().c_str(), stdout);
        return kExitOk;
    case Command::Kind::Error:
        break;
    }
    std::fprintf(stderr, "grindle: %s (usage: grindle [-q] -i PATH)\n", command.error.c_str());
    return kExitUsage;
}
