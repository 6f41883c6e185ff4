// The tag bytes of the binary serial encoding (doc/binary-format.md), shared
// by the writer and the scanner that every reader stands on.
#pragma once

namespace Serial::Binary {

inline constexpr unsigned char kTagEnter = 0x18;  // then the encoded node name
inline constexpr unsigned char kTagLeave = 0x19;
inline constexpr unsigned char kTagField = 0x1A;  // then a 32-bit length and the bytes

}  // namespace Serial::Binary
