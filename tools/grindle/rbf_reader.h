// Reading the binary RBF form.
#pragma once

#include "rbf_model.h"
#include "value_sink.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace grindle {

class InputFile;
class TextWriter;

// Sends every member to `sink` as it is read and returns an empty string, or returns "offset N:
// what is wrong" (the sink has then seen the members before it). Every count and length is checked
// against the bytes that remain before anything is done with it.
std::string readRbf(std::string_view data, ValueSink &sink);
// The same with direct calls to the writer of the text, which the converter feeds.
std::string readRbf(std::string_view data, TextWriter &writer);

// The same into a tree: fills `root`.
std::string readRbf(std::string_view data, Value &root);

// An RBF file read in pieces of `pieceSize` bytes (more where a key or string is longer), with the
// checks and messages of reading it whole: it is taken to be of the size it had when opened, and a
// file that no longer is is refused ("the file changed while it was read").
std::string readRbf(InputFile &file, ValueSink &sink, std::size_t pieceSize);
std::string readRbf(InputFile &file, TextWriter &writer, std::size_t pieceSize);

} // namespace grindle
