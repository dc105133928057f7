// libFuzzer target: any bytes as converted text. Besides not crashing, whatever reads must give
// an RBF file that reads back to the same tree and text.
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "text_reader.h"
#include "text_writer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace grindle;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    Value root;
    if (!readText(text, root).empty())
        return 0;
    const std::string rbf = writeRbf(root);
    Value again;
    if (!readRbf(rbf, again).empty() || again != root)
        std::abort();
    const std::string written = writeText(again, "fuzz.rbf");
    Value third;
    if (!readText(written, third).empty() || third != root || writeText(third, "fuzz.rbf") != written)
        std::abort();
    return 0;
}
