// Helpers for tests that look at serial streams byte by byte.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/streams.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

// "1A 04 00 00 00" -> bytes; blanks are ignored.
inline Bytes Hex(const std::string& text) {
  Bytes out;
  for (size_t i = 0; i + 1 < text.size();) {
    if (text[i] == ' ') { ++i; continue; }
    out.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}

// The UTF-16LE bytes of an ASCII text.
inline Bytes Utf16(const std::string& ascii) {
  Bytes out;
  for (char c : ascii) out.push_back(static_cast<unsigned char>(c)), out.push_back(0);
  return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// Everything a BinarySerialOut writes, Root included, when `body` runs on it.
inline Bytes WriteStream(const std::function<void(Serial::ISerialStream&)>& body,
                         Serial::VersionInfo version = Serial::UNDEFINED_SCHEME_VERSION) {
  Serial::MemoryStreamOut out;
  {
    Serial::Binary::BinarySerialOut writer(out, version);
    body(writer);
  }
  return out.GetData();
}

// Only what `body` writes inside "Root": the version header and the final
// leave tag are cut away.
inline Bytes WriteBody(const std::function<void(Serial::ISerialStream&)>& body) {
  const Bytes all = WriteStream(body);
  const size_t header = 110 - 1;  // an empty stream is the header plus one leave tag
  return Bytes(all.begin() + header, all.end() - 1);
}

// A well-formed stream around a body of raw bytes.
inline Bytes StreamAround(const Bytes& body) {
  Bytes all = WriteStream([](Serial::ISerialStream&) {});
  all.insert(all.end() - 1, body.begin(), body.end());
  return all;
}

}  // namespace testing_support
