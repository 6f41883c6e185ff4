// The unified text form of resource identifiers: "#<number>" or "@<name>".
#include <string>

#include "locmodel/util/str_util.h"
#include "util/ascii.h"
#include "util/buffer.h"

namespace {

using locmodel::FromAscii;
using locmodel::IsIntResource;
using locmodel::Prefixed;

uint16_t LowWord(const char16_t* res) {
  return static_cast<uint16_t>(reinterpret_cast<uintptr_t>(res));
}

bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// A 64-bit decimal parse in the manner of the C runtime: leading blanks, an
// optional sign, then digits up to the first non-digit. Unsigned arithmetic
// keeps an overlong number from overflowing into undefined behaviour.
uint64_t ParseDecimal(const char16_t* s) {
  while (IsBlank(*s)) ++s;
  const bool negative = *s == u'-';
  if (*s == u'-' || *s == u'+') ++s;
  uint64_t value = 0;
  for (; *s >= u'0' && *s <= u'9'; ++s) value = value * 10 + (*s - u'0');
  return negative ? 0 - value : value;
}

std::u16string View(const char16_t* s) { return s ? std::u16string(s) : std::u16string(); }

}  // namespace

std::u16string ToUnifiedFmt(unsigned long id) {
  return Prefixed(u'#', FromAscii(std::to_string(static_cast<uint32_t>(id))));
}

std::u16string ToUnifiedFmt(const char16_t* res) {
  if (IsIntResource(res)) return Prefixed(u'#', FromAscii(std::to_string(LowWord(res))));
  return Prefixed(u'@', res);
}

std::u16string Res2Unified(const char16_t* res) {
  if (IsIntResource(res)) return ToUnifiedFmt(static_cast<unsigned long>(LowWord(res)));
  return ToUnifiedFmt(res);
}

void Unified2Res(const std::u16string& unified, char16_t*& res) {
  if (!unified.empty() && unified[0] == u'#') {
    res = locmodel::MakeIntResource(static_cast<uint16_t>(NumFromUnified(unified.c_str())));
    return;
  }
  res = locmodel::CopyToBuffer(StrFromUnified(unified.c_str()));
}

bool IsStrUnified(const char16_t* s) { return !s || *s != u'#'; }

unsigned long NumFromUnified(const char16_t* s) {
  if (!s || !*s) return 0;
  return static_cast<uint32_t>(ParseDecimal(s + 1));
}

std::u16string StrFromUnified(const char16_t* s) {
  if (s && *s == u'@') ++s;
  return View(s);
}

bool IdFromString(const char16_t* s, unsigned long& id) {
  if (!s || *s != u'#') return false;
  id = NumFromUnified(s);
  return true;
}

std::u16string ResIdToGui(const std::u16string& unified) {
  if (!unified.empty() && unified[0] == u'#')
    return FromAscii(std::to_string(static_cast<uint32_t>(NumFromUnified(unified.c_str()))));
  return StrFromUnified(unified.c_str());
}
