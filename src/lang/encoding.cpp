#include "locmodel/lang/encoding.h"

#include <unicode/ucnv.h>

#include <cstdio>

#include "locmodel/lang/lang_map.h"
#include "locmodel/serial/values.h"
#include "locmodel/util/unicode.h"

const CEncoding CEncoding::SelectAnsiByLang(-4);

namespace {

// Code pages whose converter ICU knows by a name other than "windows-<cp>".
struct NamedCodepage {
  int codepage;
  const char16_t* name;
};
constexpr NamedCodepage kNamedCodepages[] = {
    {28591, u"iso-8859-1"}, {28592, u"iso-8859-2"},     {28605, u"iso-8859-15"},
    {932, u"shift_jis"},    {936, u"gb2312"},           {949, u"ks_c_5601-1987"},
    {950, u"big5"},         {20866, u"koi8-r"},         {51949, u"euc-kr"},
    {52936, u"hz-gb2312"},
};

}  // namespace

int CEncoding::getCodepage(int lang) const {
  return *this == SelectAnsiByLang ? CLangMap::Instance().GetAnsiCodepage(lang) : codepage;
}

std::u16string CEncoding::GetIcuName(int lang) const {
  if (!IsValidCodepage()) return encoding;
  const int cp = getCodepage(lang);
  for (const NamedCodepage& named : kNamedCodepages)
    if (named.codepage == cp) return named.name;
  char name[32];
  std::snprintf(name, sizeof name, "windows-%hu", static_cast<unsigned short>(cp == 0 ? 1252 : cp));
  return locmodel::Utf8ToUtf16(name);
}

std::u16string CEncoding::GetIanaName(int lang) const {
  const std::u16string icuName = GetIcuName(lang);
  // ICU reads a C string: a zero unit would make it name the text before it.
  if (icuName.find(u'\0') != std::u16string::npos) return {};
  const std::string name = locmodel::Utf16ToUtf8(icuName);
  // ICU answers some aliases with a warning status (U_AMBIGUOUS_ALIAS_WARNING):
  // only a failure means there is no name.
  UErrorCode status = U_ZERO_ERROR;
  const char* standard = ucnv_getStandardName(name.c_str(), "IANA", &status);
  if (U_FAILURE(status) || !standard) return {};
  return locmodel::Utf8ToUtf16(standard);
}

bool CEncoding::Do(Serial::ISerialStream& stream) {
  Serial::Do(stream, encoding);
  Serial::Do(stream, codepage);
  return true;
}
