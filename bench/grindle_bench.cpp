// Throughput of the converter on a generated 1,000,000-line text, in both directions: the
// conversion in memory, and the whole program step from file to file.
#include "converter.h"
#include "file_io.h"
#include "generator.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "text_reader.h"
#include "text_writer.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace grindle;

namespace {

constexpr std::uint64_t kLines = 1'000'000;

const std::string &bigText() {
    static const std::string text = generateText(kLines, "big.rbf");
    return text;
}

const std::string &bigRbf() {
    static const std::string rbf = [] {
        Value root;
        readText(bigText(), root);
        return writeRbf(root);
    }();
    return rbf;
}

void TextToRbfInMemory(benchmark::State &state) {
    for (auto _ : state) {
        Value root;
        if (!readText(bigText(), root).empty())
            state.SkipWithError("generated text did not read");
        benchmark::DoNotOptimize(writeRbf(root));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigText().size()));
}

void RbfToTextInMemory(benchmark::State &state) {
    for (auto _ : state) {
        Value root;
        if (!readRbf(bigRbf(), root).empty())
            state.SkipWithError("RBF did not read");
        benchmark::DoNotOptimize(writeText(root, "big.rbf"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigRbf().size()));
}

// Whole conversions through the file system, as the editor triggers them. Throughput counts the
// input file's bytes.
void ConvertFile(benchmark::State &state, const char *inputName, const std::string &contents) {
    const fs::path dir = fs::temp_directory_path() / "grindle-bench";
    fs::create_directories(dir);
    const fs::path input = dir / inputName;
    if (!replaceFile(input, contents).empty())
        state.SkipWithError("cannot write the input");
    for (auto _ : state) {
        if (convertFile(input).exitCode != kExitOk)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * contents.size()));
    fs::remove_all(dir);
}

void TextToRbfFile(benchmark::State &state) {
    ConvertFile(state, "big.txt", bigText());
}
void RbfToTextFile(benchmark::State &state) {
    ConvertFile(state, "big.rbf", bigRbf());
}

} // namespace

BENCHMARK(TextToRbfInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(RbfToTextInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(TextToRbfFile)->Unit(benchmark::kMillisecond);
BENCHMARK(RbfToTextFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
