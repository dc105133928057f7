// libFuzzer target: any bytes as an RBF file. Besides not crashing, whatever reads must come back
// byte for byte through the text form.
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
    if (!readRbf(bytes, root).empty())
        return 0;
    const std::string text = writeText(root, "fuzz.rbf");
    Value again;
    if (!readText(text, again).empty() || again != root || writeRbf(again) != bytes)
        std::abort();
    return 0;
}
