#include "locmodel/util/win_types.h"

#include <cstring>

#include "locmodel/util/coding.h"

namespace {

constexpr size_t kValueOffset = 8;

template <typename T>
T ValueAs(const VARIANT::Raw& raw) {
  T value;
  std::memcpy(&value, raw.data() + kValueOffset, sizeof(T));
  return value;
}

}  // namespace

VARIANT VARIANT::FromValue(uint16_t vt, const void* value, size_t size) {
  VARIANT v;
  locmodel::coding::EncodeFixed<uint16_t>(v.raw_.data(), vt);
  if (size > 8) size = 8;
  if (size) std::memcpy(v.raw_.data() + kValueOffset, value, size);
  return v;
}

VARIANT VARIANT::FromText(std::u16string text) {
  VARIANT v = FromValue(VT_BSTR, nullptr, 0);
  v.text_ = std::move(text);
  return v;
}

VARIANT VARIANT::FromRaw(const Raw& raw, std::optional<std::u16string> text) {
  VARIANT v;
  v.raw_ = raw;
  if (v.vt() == VT_BSTR && text) v.text_ = std::move(*text);
  return v;
}

bool VARIANT::IsStorable() const {
  switch (vt()) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_DATE:
    case VT_BSTR: case VT_ERROR: case VT_BOOL: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_INT: case VT_UINT: case VT_VOID: case VT_HRESULT:
      return true;
    default:
      return false;
  }
}

bool VARIANT::operator==(const VARIANT& other) const {
  if (vt() != other.vt()) return false;
  switch (vt()) {
    case VT_EMPTY: case VT_NULL:
      return true;
    case VT_I1: case VT_UI1:
      return ValueAs<uint8_t>(raw_) == ValueAs<uint8_t>(other.raw_);
    case VT_I2: case VT_UI2: case VT_BOOL:
      return ValueAs<uint16_t>(raw_) == ValueAs<uint16_t>(other.raw_);
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_ERROR: case VT_HRESULT:
      return ValueAs<uint32_t>(raw_) == ValueAs<uint32_t>(other.raw_);
    case VT_R4:
      return ValueAs<float>(raw_) == ValueAs<float>(other.raw_);
    case VT_R8: case VT_DATE:
      return ValueAs<double>(raw_) == ValueAs<double>(other.raw_);
    case VT_BSTR:
      return text_ == other.text_;
    default:
      // Types that cannot be stored: nothing but their bytes to compare.
      return raw_ == other.raw_;
  }
}
