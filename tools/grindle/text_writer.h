// Writing the value tree as the converted text that the editor reads.
#pragma once

#include "rbf_model.h"

#include <string>
#include <string_view>

namespace grindle {

// The whole text: the heading "RBF file: NAME", the outer braces, one line per value and per
// table end, depth markers "| " for nesting, CR LF after every line. `rbfName` is the RBF file's
// name in code page 1252.
std::string writeText(const Value &root, std::string_view rbfName);

} // namespace grindle
