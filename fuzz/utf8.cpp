// UTF-8 decoding of arbitrary bytes against a slow reference that finds each
// maximal subpart by asking which code points could still complete it, and
// the round trips that must hold whatever the input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "locmodel/util/unicode.h"

namespace {

// The length of the sequences `lead` begins, 0 when it begins none.
int SequenceLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC0 && lead < 0xE0) return 2;
  if (lead >= 0xE0 && lead < 0xF0) return 3;
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  return 0;
}

// True when the k bytes at p, continued by any continuation bytes up to a
// sequence of `length`, can encode a scalar value in that length's range.
bool CanComplete(const uint8_t* p, int k, int length, char32_t& value) {
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  static constexpr char32_t kMax[] = {0, 0x7F, 0x7FF, 0xFFFF, 0x10FFFF};
  static constexpr uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t bits = p[0] & kLeadMask[length];
  for (int j = 1; j < k; ++j) {
    if ((p[j] & 0xC0) != 0x80) return false;
    bits = (bits << 6) | (p[j] & 0x3F);
  }
  const int free = 6 * (length - k);
  const char32_t lo = bits << free, hi = lo | ((char32_t(1) << free) - 1);
  value = lo;
  const char32_t from = std::max(lo, kMin[length]), to = std::min(hi, kMax[length]);
  if (from > to) return false;
  return !(from >= 0xD800 && to <= 0xDFFF);  // not only surrogates
}

std::u16string Reference(const uint8_t* data, size_t size) {
  std::u16string out;
  for (size_t i = 0; i < size;) {
    const int length = SequenceLength(data[i]);
    int k = 0;
    char32_t value = 0;
    for (int j = std::min<int>(length, static_cast<int>(size - i)); j > 0 && !k; --j) {
      if (CanComplete(data + i, j, length, value)) k = j;
    }
    if (length == 0 || k < length) {
      out.push_back(u'\uFFFD');
      i += std::max(k, 1);
      continue;
    }
    if (value >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 | ((value - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 | (value & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(value));
    }
    i += static_cast<size_t>(length);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = locmodel::Utf8ToUtf16(bytes);
  if (wide != Reference(data, size)) std::abort();
  // The result is well-formed, so it survives a round trip unchanged; input
  // that needed no replacement comes back byte for byte.
  const std::string narrow = locmodel::Utf16ToUtf8(wide);
  if (locmodel::Utf8ToUtf16(narrow) != wide) std::abort();
  if (wide.find(u'\uFFFD') == std::u16string::npos && narrow != bytes) std::abort();
  return 0;
}
