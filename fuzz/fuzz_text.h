// Fuzz input as UTF-16: every pair of bytes is one code unit, so lone
// surrogates, zeros and any other unit reach the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::u16string FuzzUnits(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return text;
}
