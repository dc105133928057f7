// Writing the value tree in the binary RBF form.
#pragma once

#include "rbf_model.h"

#include <string>

namespace grindle {

// The complete file. Lengths and counts must fit in 32 bits; the converter only feeds it trees
// read from inputs far smaller than that.
std::string writeRbf(const Value &root);

} // namespace grindle
