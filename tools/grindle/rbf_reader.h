// Reading the binary RBF form.
#pragma once

#include "rbf_model.h"
#include "value_sink.h"

#include <string>
#include <string_view>

namespace grindle {

// Sends every member to `sink` as it is read and returns an empty string, or returns "offset N:
// what is wrong" (the sink has then seen the members before it). Every count and length is checked
// against the bytes that remain before anything is done with it.
std::string readRbf(std::string_view data, ValueSink &sink);

// The same into a tree: fills `root`.
std::string readRbf(std::string_view data, Value &root);

} // namespace grindle
