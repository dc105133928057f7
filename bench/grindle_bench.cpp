// Throughput of the converter on a generated 1,000,000-line text, in both directions: the
// conversion in memory (its output dropped piece by piece, as the file step passes it on), and
// the whole program step from file to file. Throughput counts the text's bytes both ways.
#include "converter.h"
#include "file_io.h"
#include "generator.h"
#include "output_buffer.h"
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

// The inputs are made before the first timed run.
void Prepare() {
    bigText();
    bigRbf();
}

void TextToRbfInMemory(benchmark::State &state) {
    Prepare();
    for (auto _ : state) {
        OutputBuffer dropped(nullptr, kPieceSize);
        RbfWriter writer(dropped);
        TextReader reader(writer);
        reader.finish(bigText().substr(reader.readLines(bigText())));
        if (!reader.problem().empty())
            state.SkipWithError("generated text did not read");
        writer.finish();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigText().size()));
}

void RbfToTextInMemory(benchmark::State &state) {
    Prepare();
    for (auto _ : state) {
        OutputBuffer dropped(nullptr, kPieceSize);
        TextWriter writer(dropped, "big.rbf");
        if (!readRbf(bigRbf(), writer).empty())
            state.SkipWithError("RBF did not read");
        writer.finish();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigText().size()));
}

// The value tree that the tests and fuzz targets go through, for comparison.
void TextToRbfThroughTree(benchmark::State &state) {
    Prepare();
    for (auto _ : state) {
        Value root;
        if (!readText(bigText(), root).empty())
            state.SkipWithError("generated text did not read");
        benchmark::DoNotOptimize(writeRbf(root));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigText().size()));
}

// Whole conversions through the file system, as the editor triggers them.
void ConvertFile(benchmark::State &state, const char *inputName, const std::string &contents) {
    Prepare();
    const fs::path dir = fs::temp_directory_path() / "grindle-bench";
    fs::create_directories(dir);
    const fs::path input = dir / inputName;
    if (!replaceFile(input, contents).empty())
        state.SkipWithError("cannot write the input");
    for (auto _ : state) {
        if (convertFile(input).exitCode != kExitOk)
            state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bigText().size()));
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
BENCHMARK(TextToRbfThroughTree)->Unit(benchmark::kMillisecond);
BENCHMARK(TextToRbfFile)->Unit(benchmark::kMillisecond);
BENCHMARK(RbfToTextFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
