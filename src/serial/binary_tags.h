// The tag bytes of the binary serial encoding (doc/binary-format.md) and the
// name of the node every stream's content stands in, shared by the writer
// and the readers.
#pragma once

#include "locmodel/serial/node_name.h"

namespace Serial::Binary {

inline constexpr unsigned char kTagEnter = 0x18;  // then the encoded node name
inline constexpr unsigned char kTagLeave = 0x19;
inline constexpr unsigned char kTagField = 0x1A;  // then a 32-bit length and the bytes

inline const NodeName& RootName() {
  static const NodeName root(u"Root");
  return root;
}

}  // namespace Serial::Binary
