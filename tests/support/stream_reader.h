// Reads back bytes a BinarySerialOut wrote (as from WriteStream).
#pragma once

#include <utility>

#include "support/stream_bytes.h"

namespace testing_support {

struct StreamReader {
  explicit StreamReader(Bytes all) : bytes(std::move(all)) {}
  Bytes bytes;
  Serial::MemoryStreamIn in{bytes.data(), static_cast<uint32_t>(bytes.size())};
  Serial::Binary::BinarySerialIn reader{in};
};

}  // namespace testing_support
