// libFuzzer target: any bytes as an RBF file. Besides not crashing, whatever reads must come back
// byte for byte through the text form, and the converter's direct way to text (with no tree) must
// give the same verdict and the same text.
#include "output_buffer.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "text_reader.h"
#include "text_writer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace grindle;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    Value root;
    const std::string problem = readRbf(bytes, root);
    OutputBuffer out;
    TextWriter writer(out, "fuzz.rbf");
    if (readRbf(bytes, writer) != problem)
        std::abort();
    if (!problem.empty())
        return 0;
    writer.finish();
    const std::string text = writeText(root, "fuzz.rbf");
    if (out.take() != text)
        std::abort();
    Value again;
    if (!readText(text, again).empty() || again != root || writeRbf(again) != bytes)
        std::abort();
    return 0;
}
