// Hand-written rather than taken from a library: grindle uses the standard library alone so that
// it builds anywhere, and the one mapping it needs is a 32-entry table.
#include "code_page.h"

#include <cstdint>

namespace grindle {

namespace {

// Unicode of the bytes 0x80-0x9F; the five bytes that the code page leaves undefined stand for
// the C1 control of the same number, so they survive a trip through Unicode.
constexpr std::uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                             0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toCp1252(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Length of the UTF-8 sequence at `s[i]` and its code point, or 0 when it is not valid UTF-8.
std::size_t decode(std::string_view s, std::size_t i, std::uint32_t &cp) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

std::string utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = byte < 0x80 ? 0 : decode(utf8, i, cp);
        if (len == 0) {
            out += utf8[i];
            ++i;
        } else {
            out += toCp1252(cp);
            i += len;
        }
    }
    return out;
}

} // namespace grindle
