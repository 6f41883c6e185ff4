// Helpers for tests that look at serial streams byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
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

// A node with a text name: 18 01 <units> <UTF-16LE name> <inner> 19.
inline Bytes Node(const std::string& name, const Bytes& inner) {
  return Concat({Hex("18 01"), Bytes{static_cast<unsigned char>(name.size())}, Utf16(name), inner, Hex("19")});
}
// An anonymous node: 18 00 <inner> 19.
inline Bytes Element(const Bytes& inner) { return Concat({Hex("18 00"), inner, Hex("19")}); }
// A 32-bit integer, little-endian.
inline Bytes Int32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  return Bytes{static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u >> 16),
               static_cast<unsigned char>(u >> 24)};
}
// A field: 1A <32-bit length> <bytes>.
inline Bytes Field(const Bytes& data) { return Concat({Hex("1A"), Int32(static_cast<int32_t>(data.size())), data}); }

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

// Runs `body` on a BinarySerialIn over the whole stream `bytes`.
template <typename Body>
void ReadThrough(const Bytes& bytes, Body body) {
  Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
  Serial::Binary::BinarySerialIn reader(in);
  body(reader);
}

// Runs `read` on a BinarySerialIn inside "Root" of a stream around `body`.
template <typename Body>
void ReadInside(const Bytes& body, Body read) {
  ReadThrough(StreamAround(body), read);
}

// Runs `body` once on each reader of the stream `bytes`: the tree reader,
// which loads it all first, and the streaming one; `tree` says which.
inline void ReadEachWay(const Bytes& bytes,
                        const std::function<void(Serial::ISerialStream&, bool tree)>& body) {
  for (bool tree : {true, false}) {
    SCOPED_TRACE(tree ? "tree reader" : "streaming reader");
    Serial::MemoryStreamIn in(bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (tree) {
      Serial::Binary::BinarySerialTreeIn reader;
      reader.Load(in);
      body(reader, true);
    } else {
      Serial::Binary::BinarySerialIn reader(in);
      body(reader, false);
    }
  }
}

// `value` written, then read over `stale` by each reader: equal again.
template <typename T>
void ExpectRoundTrip(T value, const T& stale) {
  const Bytes bytes = WriteStream([&](Serial::ISerialStream& s) { EXPECT_TRUE(value.Do(s)); });
  ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool) {
    T read = stale;
    EXPECT_TRUE(read.Do(s));
    EXPECT_EQ(read, value);
  });
}

}  // namespace testing_support
