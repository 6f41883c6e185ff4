// Value types that project data inherited from the Windows platform, held in
// types of our own with the exact byte layout the data needs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// A rectangle as four signed 32-bit coordinates (16 bytes on the wire).
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const RECT&) const = default;
};

// An OLE Automation variant, as a tagged value: the 16 raw bytes of the
// platform's VARIANT (type number as unsigned 16-bit, three reserved 16-bit
// words, 8 value bytes) plus the text of a text variant (type 8, VT_BSTR),
// whose pointer bytes mean nothing here.
class VARIANT {
 public:
  static constexpr size_t kRawSize = 16;
  using Raw = std::array<unsigned char, kRawSize>;

  enum Type : uint16_t {
    VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_CY = 6,
    VT_DATE = 7, VT_BSTR = 8, VT_DISPATCH = 9, VT_ERROR = 10, VT_BOOL = 11, VT_VARIANT = 12,
    VT_UNKNOWN = 13, VT_DECIMAL = 14, VT_I1 = 16, VT_UI1 = 17, VT_UI2 = 18, VT_UI4 = 19,
    VT_I8 = 20, VT_UI8 = 21, VT_INT = 22, VT_UINT = 23, VT_VOID = 24, VT_HRESULT = 25,
  };

  // VT_EMPTY, all bytes zero.
  VARIANT() { raw_.fill(0); }
  // A variant of type `vt` whose value is the first `size` bytes of `value`
  // (at most 8), stored little-endian in the value bytes.
  static VARIANT FromValue(uint16_t vt, const void* value, size_t size);
  static VARIANT FromInt32(int32_t value) { return FromValue(VT_I4, &value, 4); }
  static VARIANT FromDouble(double value) { return FromValue(VT_R8, &value, 8); }
  // A text variant made in memory: its value bytes are zero.
  static VARIANT FromText(std::u16string text);
  // The variant as read from data: the raw bytes as they stood, plus the
  // text that follows a text variant.
  static VARIANT FromRaw(const Raw& raw, std::optional<std::u16string> text = std::nullopt);

  uint16_t vt() const { return static_cast<uint16_t>(raw_[0] | (raw_[1] << 8)); }
  const Raw& raw() const { return raw_; }
  // The text of a text variant; empty for every other type.
  const std::u16string& text() const { return text_; }
  // Whether the value lies wholly in the raw bytes or in the text, so that
  // it can be stored; every other type (currency, decimal, 64-bit
  // integers, pointers, arrays, references) cannot be.
  bool IsStorable() const;

  // Unequal when the types differ; empty and null always equal; integers,
  // booleans and errors by their stored value at the type's width; floats and
  // dates numerically; texts by their bytes.
  bool operator==(const VARIANT& other) const;

 private:
  Raw raw_;
  std::u16string text_;
};
