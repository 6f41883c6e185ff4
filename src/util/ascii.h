// Internal: ASCII text built with the narrow standard library (numbers,
// fixed markup) widened to UTF-16 unit by unit.
#pragma once

#include <string>
#include <string_view>

namespace locmodel {

inline void AppendAscii(std::u16string& out, std::string_view ascii) {
  out.append(ascii.begin(), ascii.end());
}

// `prefix` followed by `rest`. (Built by appending: GCC 12 misreads the
// inlined `u"@" + string` as an overlapping copy and warns.)
inline std::u16string Prefixed(char16_t prefix, std::u16string_view rest) {
  std::u16string out(1, prefix);
  out += rest;
  return out;
}

inline std::u16string FromAscii(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace locmodel
