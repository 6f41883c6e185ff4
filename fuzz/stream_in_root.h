// Fuzz input placed inside an open "Root" node of a binary stream, so that
// every byte reaches the reader of one value rather than the stream header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "locmodel/serial/binary_serial.h"

inline std::vector<unsigned char> StreamInRoot(const uint8_t* data, size_t size) {
  static const std::vector<unsigned char> header = [] {
    Serial::MemoryStreamOut out;
    { Serial::Binary::BinarySerialOut writer(out); }
    std::vector<unsigned char> bytes = out.GetData();
    bytes.pop_back();  // keep "Root" open
    return bytes;
  }();
  std::vector<unsigned char> stream(header);
  stream.insert(stream.end(), data, data + size);
  return stream;
}
