// dump-stream: the structure of any binary serial stream, without knowing
// the classes that wrote it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/input.h"

namespace locmodel::cli {

struct StreamDamage {
  uint64_t offset;  // where the bad item starts, in the decompressed bytes
  std::string reason;
};

// Reads the whole stream; the damage found, if any. The stream is malformed
// when it is empty, ends inside a node or item, holds an unknown tag, closes
// a node at depth 0, has a text name over 200 code units, or its gzip data
// is corrupt.
std::optional<StreamDamage> CheckStream(Input& input);

// Prints a stream that CheckStream accepted, as an indented text tree or as
// JSON ({"items":[...]}). With `props`, the text tree shows each node that
// holds a property map (node byte 0x01) as its entries, NAME = CLASS(VALUE).
// Nesting depth costs heap, never stack.
void PrintStream(Input& input, bool json, bool props, std::ostream& out);

}  // namespace locmodel::cli
