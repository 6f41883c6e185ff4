// Job streams written byte by byte from the encoding rules, for tests that
// pin the layout or damage it.
#pragma once

#include "stream_bytes.h"

namespace testing_support {

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
