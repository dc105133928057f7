// How a single value is spelled in the text form, in both directions.
#pragma once

#include "rbf_model.h"

#include <string>
#include <string_view>

namespace grindle {

// Appends the text of a non-table value: "quoted" strings, true/false, integers without a dot,
// floats in the shortest form that reads back to the same bits and always with '.', an exponent
// or "inf" so that they never look like integers.
void appendScalar(std::string &out, const Value &value);

// Reads the text of a value as it stands between ':' and ';' (already trimmed). Returns an empty
// string and fills `value` on success, otherwise what was expected instead ("expected ..., found ...").
std::string parseScalar(std::string_view token, Value &value);

} // namespace grindle
