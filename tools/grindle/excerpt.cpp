#include "excerpt.h"

namespace grindle {

std::string excerpt(std::string_view text) {
    constexpr std::size_t kLimit = 40;
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < kLimit; ++i)
        out += static_cast<unsigned char>(text[i]) < 32 ? '?' : text[i];
    if (text.size() > kLimit)
        out += "...";
    out += '"';
    return out;
}

} // namespace grindle
