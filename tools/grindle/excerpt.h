// Quoting pieces of a file inside one-line error messages.
#pragma once

#include <string>
#include <string_view>

namespace grindle {

// The text in double quotes, cut to a readable length, with control characters shown as '?' so
// that a message always stays on one line.
std::string excerpt(std::string_view text);

} // namespace grindle
