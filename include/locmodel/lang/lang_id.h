// CLangId: the 32-bit language value every part of the model passes around.
//
//   bits  0-9   primary language    \  the Windows language identifier
//   bits 10-15  sublanguage         /  (GetRawLng)
//   bits 16-23  brand number (UnrealBrand = every brand)
//
// 7777 means "no language". Projects written by older versions used
// 77777777 for it; both constructors turn that form into 7777 so that the
// rest of the code meets a single value.
//
// Self-contained on purpose: the item model and configuration include it
// without pulling in the language map.
#pragma once

#include <cstdint>

class CLangId {
 public:
  static constexpr int BrandOffset = 16;                // shift of the brand number
  static constexpr unsigned char UnrealBrand = 255;     // stands for every brand
  static constexpr int NoLang = 7777;                   // 0x1E61, the no-language value
  static constexpr int OldNoLang = 77777777;            // its older form, never stored

  CLangId(int lang) : lang_(lang == OldNoLang ? NoLang : lang) {}  // NOLINT: implicit by design
  // `lng` widens with its sign, as the 16-bit identifier always has. The low
  // half of the old no-language value keeps the brand but becomes 7777.
  CLangId(short lng, unsigned char brand)
      : lang_((lng == static_cast<short>(OldNoLang & 0xFFFF) ? NoLang : int{lng}) |
              (int{brand} << BrandOffset)) {}

  int GetLang() const { return lang_; }
  short GetRawLng() const { return static_cast<short>(lang_ & 0xFFFF); }
  unsigned char GetBrand() const { return static_cast<unsigned char>((lang_ >> BrandOffset) & 0xFF); }
  short GetPrimaryLng() const { return static_cast<short>(lang_ & 0x3FF); }

  bool operator==(const CLangId& other) const { return lang_ == other.lang_; }
  bool operator!=(const CLangId& other) const { return lang_ != other.lang_; }

 private:
  int32_t lang_;
};
