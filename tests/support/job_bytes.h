// Job streams written byte by byte from the encoding rules, for tests that
// pin the layout or damage it.
#pragma once

#include <string>

#include "stream_bytes.h"

namespace testing_support {

// A node with a text name: 18 01 <units> <UTF-16LE name> <inner> 19.
inline Bytes Node(const std::string& name, const Bytes& inner) {
  return Concat({Hex("18 01"), Bytes{static_cast<unsigned char>(name.size())}, Utf16(name), inner, Hex("19")});
}
// An anonymous node: 18 00 <inner> 19.
inline Bytes Element(const Bytes& inner) { return Concat({Hex("18 00"), inner, Hex("19")}); }
// A field: 1A <32-bit length> <bytes>.
inline Bytes Field(const Bytes& data) {
  const auto n = static_cast<uint32_t>(data.size());
  return Concat({Hex("1A"), Bytes{static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                  static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)},
                 data});
}
inline Bytes Int32(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  return Bytes{static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8), static_cast<unsigned char>(u >> 16),
               static_cast<unsigned char>(u >> 24)};
}

// What a create-localized job holds inside "Root": empty file names, the
// default parameters with `targetLangs` as the inside of "TgtLangs", the
// level, and `item` as the inside of "Item" (01: the null flag).
inline Bytes LocalizeJobBody(int32_t level = 0, const Bytes& item = Field(Hex("01")),
                             const Bytes& targetLangs = Field(Int32(0))) {
  const Bytes noLang = Field(Int32(7777)), hashes = Field(Utf16("##"));
  return Concat({Node("FileName", Field({})), Node("OriginalFileName", Field({})),
                 Node("Param", Concat({Node("ntv_lng", noLang), Node("tgt_lng", noLang), Node("cProjectDir", hashes),
                                       Node("cTgtCultureName", hashes), Node("TgtLangs", targetLangs)})),
                 Node("FileItemLevel", Field(Int32(level))), Node("Item", item)});
}

}  // namespace testing_support
