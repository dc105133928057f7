// File names in the text heading: the editor reads code page 1252, file names come as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace grindle {

// Converts UTF-8 to code page 1252, writing '?' for characters that the code page lacks. Bytes
// that are not valid UTF-8 are taken as code page 1252 already and kept.
std::string utf8ToCp1252(std::string_view utf8);

} // namespace grindle
