// Reading the binary RBF form into the value tree.
#pragma once

#include "rbf_model.h"

#include <string>
#include <string_view>

namespace grindle {

// Fills `root` and returns an empty string, or returns "offset N: what is wrong". Every count and
// length is checked against the bytes that remain before anything is allocated for it.
std::string readRbf(std::string_view data, Value &root);

} // namespace grindle
