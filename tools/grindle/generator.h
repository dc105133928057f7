// Large, realistic test inputs: deterministic text with nested tables and every value type.
#pragma once

#include "rbf_model.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace grindle {

// A tree whose text takes about `lines` lines (never fewer than the heading and braces): top-level
// tables nested 2 to 5 deep, about 20 bytes per line. The same count gives the same tree.
Value generateTree(std::uint64_t lines);

// generateTree written as text with the heading for `rbfName`.
std::string generateText(std::uint64_t lines, std::string_view rbfName);

} // namespace grindle
