#include "locmodel/lang/lang_map.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "locmodel/lang/lang_id.h"
#include "locmodel/lang/locale_db.h"
#include "locmodel/util/unicode.h"

namespace {

using locmodel::GetLocaleInfo;
using locmodel::LocaleField;

constexpr int kPrimaryMask = 0x3FF;
constexpr int kSubMask = 0xFC00;
constexpr int kDefaultSub = 0x0400;  // the sublanguage Windows resolves a neutral to

// The Windows identifier of each Symbian language code 0..98, -1 for none.
constexpr int kSymbianLangs[99] = {
    -1,     0x0009, 0x000c, 0x0007, 0x000a, 0x0010, 0x001d, 0x0006, 0x0014, 0x000b,  //  0- 9
    0x0409, 0x100c, 0x0807, 0x0016, 0x001f, 0x000f, 0x0019, 0x000e, 0x0013, -1,      // 10-19
    0x0c09, 0x080c, 0x0c07, 0x1409, -1,     0x0005, 0x001b, 0x0015, 0x0024, 0x0404,  // 20-29
    0x0c04, 0x0804, 0x0011, 0x001e, 0x0036, 0x001c, -1,     0x0001, 0x002b, -1,      // 30-39
    0x0023, 0x0045, 0x0002, -1,     0x0003, 0x001a, 0x1009, -1,     0x1c09, 0x0025,  // 40-49
    0x0029, 0x0c0c, -1,     0x0037, 0x0008, -1,     0x0047, 0x000d, 0x0039, 0x0021,  // 50-59
    0x083c, 0x0810, 0x004b, 0x003f, -1,     0x0012, -1,     0x0026, 0x0027, -1,      // 60-69
    0x003e, 0x004c, 0x004e, -1,     0x0050, 0x0814, 0x0428, 0x0046, 0x0018, 0x0c1a,  // 70-79
    -1,     -1,     -1,     -1,     0x0041, 0x081d, -1,     0x0049, 0x004a, -1,      // 80-89
    -1,     -1,     -1,     0x0022, 0x0020, -1,     0x002a, 0x0052, 0x0035,          // 90-98
};

// The 16-bit Windows identifier of a language value, sign-extended.
int RawLang(int lang) { return CLangId(lang).GetRawLng(); }

std::u16string Info(int lcid, LocaleField field) { return GetLocaleInfo(lcid, field); }

// A decimal code page as the locale database reports it; 0 for none.
int ParseCodepage(const std::u16string& text) {
  int value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9' || value > 9999999) return 0;
    value = value * 10 + (c - u'0');
  }
  return value;
}

std::u16string Format(const char* format, int value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return locmodel::Utf8ToUtf16(text);
}

std::u16string Lower(std::u16string text) {
  for (char16_t& c : text) c = static_cast<char16_t>(u_tolower(c));
  return text;
}

bool IsCyrillicVariant(int p, int s) {
  return (p == 0x1A && s == 0x0C00) || (p == 0x43 && s == 0x0800) || (p == 0x2C && s == 0x0800) ||
         p == 0x28;
}

}  // namespace

const CLangMap& CLangMap::Instance() { return GetInstance(); }

CLangMap& CLangMap::GetInstance() {
  // A function-local static: building it on first use is also safe when the
  // first calls come from several threads at once.
  static CLangMap* const instance = [] {
    static CLangMap map;
    map.Init();
    return &map;
  }();
  return *instance;
}

void CLangMap::Init() {
  // 1. The locales the system enumerates, each under its language group.
  for (int group : locmodel::EnumLanguageGroups()) {
    for (int lcid : locmodel::EnumLanguageGroupLocales(group)) {
      CLangDescr& row = langs_[lcid & 0xFFFF];
      row.langGroup = group;
      row.lcid = lcid;
    }
  }

  // 2. Neutral rows borrow the locale of their default sublanguage (0x0400).
  // Irish (0x3C) and Inuktitut (0x5D) never get neutral rows: Irish has no
  // 0x0400 locale at all, and a made-up 0x043C row would name a locale
  // that does not exist.
  std::vector<int> noted;
  for (const auto& [id, row] : langs_) {
    const int p = id & kPrimaryMask;
    if (p == 0x3C || p == 0x5D) continue;
    if (!langs_.count(p)) noted.push_back(p);
    if (!langs_.count(p | kDefaultSub)) noted.push_back(p | kDefaultSub);
  }
  for (int x : noted) {
    const CLangDescr source = langs_[x | kDefaultSub];
    CLangDescr& row = langs_[x];
    row.lcid = source.lcid;
    row.langGroup = source.langGroup;
  }

  // 3. Codes, culture names and code pages; rows grouped by primary language
  // and code page.
  std::map<std::pair<int, int>, std::set<int>> groups;
  for (auto& [k, row] : langs_) {
    if (k == 0x045F || k == 0x047F) continue;  // reserved locales get nothing
    const int p = k & kPrimaryMask;
    const int s = k & kSubMask;
    if (row.lcid == 0) row.lcid = k & 0xFFFF;
    row.countryCode = Info(row.lcid, LocaleField::IsoCountry);
    row.langCode = Info(row.lcid, LocaleField::IsoLanguage);
    if (IsCyrillicVariant(p, s)) row.langCode += u"-Cyrl";
    if (p == 0x14 && (s == 0 || s == 0x0400)) row.cultureName = u"no";
    else if (p == 4 && s == 0) row.cultureName = u"zh-CHT";
    else if (s != 0) row.cultureName = row.langCode + u"-" + row.countryCode;
    else row.cultureName = row.langCode;
    if (p == 0x3F) {
      row.ansiCodepage = 1251;  // Kazakh files are written in Cyrillic 1251
    } else {
      row.ansiCodepage = ParseCodepage(Info(row.lcid, LocaleField::AnsiCodePage));
      if (row.ansiCodepage == 0) row.ansiCodepage = ParseCodepage(Info(row.lcid, LocaleField::OemCodePage));
    }
    groups[{p, row.ansiCodepage}].insert(k);
  }

  // 4. Group names and the long-name tree. A later group of the same name
  // takes the tree entry over.
  for (const auto& [key, members] : groups) {
    const int n = *members.begin();
    const int p = n & kPrimaryMask;
    const std::u16string language = Info(langs_[n].lcid, LocaleField::EnglishLanguage);
    std::u16string name = language;
    if (p == 4) name += (n & kSubMask) == 0x0800 ? u", Simplified" : u", Traditional";
    else if (p == 0x14) name = u"Norwegian";
    CLangNameNode& node = names_[name] = CLangNameNode(n);
    langs_[n].name = name;
    // Simplified Chinese keeps its row names and lists its own first row as
    // a region, so that 0x0804 reads "Chinese, Simplified - <country>".
    const bool keep_names = n == 0x0804;
    for (int m : members) {
      if (m == n && !keep_names) continue;
      const std::u16string region =
          Info(langs_[m].lcid, p == 0x14 ? LocaleField::EnglishLanguage : LocaleField::EnglishCountry);
      if (!keep_names) langs_[m].name = region;
      if (m & kSubMask) node.children[region] = CLangNameNode(m);
    }
  }

  // 5. Symbian codes.
  for (int code = 0; code < 99; ++code)
    if (kSymbianLangs[code] != -1) symbian_[kSymbianLangs[code]] = code;
}

const CLangDescr& CLangMap::GetLang(int lang) const {
  static const CLangDescr empty;
  const auto it = langs_.find(RawLang(lang));
  if (it != langs_.end()) return it->second;
  return langs_.empty() ? empty : langs_.begin()->second;
}

int CLangMap::GetAnsiCodepage(int lang) const {
  const auto it = langs_.find(RawLang(lang));
  return it == langs_.end() ? 0 : it->second.ansiCodepage;
}

int CLangMap::GetLangByCulName(const std::u16string& culName) const {
  const std::u16string wanted = Lower(culName);
  for (const auto& [id, row] : langs_)
    if (Lower(row.cultureName) == wanted) return id;
  return -1;
}

std::u16string CLangMap::GetLangAbbr(int lang) const {
  return Info(lang & 0xFFFF, LocaleField::AbbrevLanguage);
}

std::u16string CLangMap::GetWinLang(int lang) const {
  std::u16string abbr = GetLangAbbr(lang);
  if (RawLang(lang) < 0x400) abbr.resize(std::min<size_t>(abbr.size(), 2));
  return abbr;
}

std::u16string CLangMap::GetLongLangName(int lang) const {
  const int k = RawLang(lang);
  for (const auto& [name, node] : names_) {
    for (const auto& [region, child] : node.children)
      if (child.lang == k) return name + u" - " + region;
    if (node.lang == k) return name;
  }
  if ((k & kSubMask) == 0) return Format("%d", k);
  return GetLongLangName(k & kPrimaryMask) + Format(" - (%d)", k >> 10);
}

bool CLangMap::IsRtlLang(int lang) const {
  switch (lang & kPrimaryMask) {
    case 1: case 13: case 32: case 41: case 90: case 101: case 140: return true;
    default: return false;
  }
}

CLangMap::Macros CLangMap::GetLangMacros(int lang) const {
  const int k = RawLang(lang);
  const CLangDescr& row = GetLang(k);
  std::u16string java = row.cultureName;
  for (char16_t& c : java)
    if (c == u'-') c = u'_';
  const auto symbian = symbian_.find(lang);
  return {
      {u"$(LangName)", row.name},
      {u"$(LangLongName)", GetLongLangName(k)},
      {u"$(CultureName)", row.cultureName},
      {u"$(JavaLang)", java},
      {u"$(AndroidLang)", (k & kSubMask) ? row.langCode + u"-r" + row.countryCode : row.langCode},
      {u"$(SymbianLang)", symbian != symbian_.end() ? Format("%.2d", symbian->second) : row.cultureName},
      {u"$(LangAbbr)", GetLangAbbr(lang)},
      {u"$(WinLang)", GetWinLang(k)},
      {u"$(LangId)", Format("%d", k)},
  };
}
