// Reading converted text, as grindle writes it or as a person edited it, into the value tree.
#pragma once

#include "rbf_model.h"

#include <string>
#include <string_view>

namespace grindle {

// Fills `root` and returns an empty string, or returns what is wrong in one line: "line N, column
// M: expected WHAT, found WHAT" (both from 1; columns count bytes). The structure is
// taken from the braces; depth markers are accepted but not required, blanks and tabs around
// markers, keys and values are free, lines may end in LF or CR LF.
std::string readText(std::string_view text, Value &root);

} // namespace grindle
