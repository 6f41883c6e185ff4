// Fixed-width little-endian encoding. Every byte shift of the on-disk formats
// lives here; nothing else assembles integers from bytes by hand.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace locmodel::coding {

// On a little-endian machine the bytes are the value's own: one unaligned
// move, which the compiler does not always make of the byte loop (the
// serial readers decode a length per field).
template <typename T>
inline void EncodeFixed(unsigned char* dst, T value) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U v = static_cast<U>(value);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dst, &v, sizeof v);
  } else {
    for (size_t i = 0; i < sizeof(T); ++i) dst[i] = static_cast<unsigned char>(v >> (8 * i));
  }
}

template <typename T>
inline T DecodeFixed(const unsigned char* src) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, src, sizeof v);
  } else {
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<U>(static_cast<U>(src[i]) << (8 * i));
  }
  return static_cast<T>(v);
}

inline void EncodeFixed32(unsigned char* dst, uint32_t v) { EncodeFixed<uint32_t>(dst, v); }
inline uint32_t DecodeFixed32(const unsigned char* src) { return DecodeFixed<uint32_t>(src); }

// Formats written in the creating machine's byte order (SQLite 2 files) and
// keys that must sort bytewise need the most significant byte first too.
template <typename T>
inline T DecodeFixedBigEndian(const unsigned char* src) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v = static_cast<U>(static_cast<U>(v << 8) | src[i]);
  return static_cast<T>(v);
}

template <typename T>
inline void EncodeFixedBigEndian(unsigned char* dst, T value) {
  static_assert(std::is_integral_v<T>);
  using U = std::make_unsigned_t<T>;
  U v = static_cast<U>(value);
  for (size_t i = 0; i < sizeof(T); ++i) dst[sizeof(T) - 1 - i] = static_cast<unsigned char>(v >> (8 * i));
}

// A little-endian integer of `width` bytes (1 to 4), for formats whose field
// width depends on the data, such as the offsets of an SQLite 2 row record.
inline uint32_t DecodeVarWidth(const unsigned char* src, size_t width) {
  uint32_t v = 0;
  for (size_t i = 0; i < width; ++i) v |= static_cast<uint32_t>(src[i]) << (8 * i);
  return v;
}

inline void EncodeVarWidth(unsigned char* dst, uint32_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) dst[i] = static_cast<unsigned char>(value >> (8 * i));
}

// UTF-16 text travels as little-endian code units with no terminator.
inline void EncodeUtf16(unsigned char* dst, const char16_t* units, size_t count) {
  if constexpr (std::endian::native == std::endian::little) {
    if (count) std::memcpy(dst, units, count * 2);
  } else {
    for (size_t i = 0; i < count; ++i) EncodeFixed<uint16_t>(dst + 2 * i, units[i]);
  }
}

// Whether `count` encoded code units at `src` are those of `units`. Meant
// for node names, a few units long: an inline loop beats a library call.
inline bool EqualsUtf16(const unsigned char* src, const char16_t* units, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (DecodeFixed<uint16_t>(src + 2 * i) != units[i]) return false;
  return true;
}

inline void DecodeUtf16(std::u16string& out, const unsigned char* src, size_t count) {
  out.resize(count);
  if constexpr (std::endian::native == std::endian::little) {
    if (count) std::memcpy(out.data(), src, count * 2);
  } else {
    for (size_t i = 0; i < count; ++i) out[i] = DecodeFixed<uint16_t>(src + 2 * i);
  }
}

}  // namespace locmodel::coding
