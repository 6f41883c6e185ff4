#include "locmodel/lang/lang_map.h"

#include <gtest/gtest.h>

#include "support/rows.h"

namespace {

using testing_support::ExpectRows;

const CLangMap& Map() { return CLangMap::Instance(); }

std::u16string Macro(int lang, const char16_t* name) { return Map().GetLangMacros(lang).at(name); }

std::u16string Culture(int id) { return Map().GetLang(id).cultureName; }
std::u16string Name(int id) { return Map().GetLang(id).name; }
std::u16string LangCode(int id) { return Map().GetLang(id).langCode; }
std::u16string LongName(int id) { return Map().GetLongLangName(id); }
int AnsiCodepage(int id) { return Map().GetAnsiCodepage(id); }

}  // namespace

// The row and macros of 0x0409 are pinned whole by the lang command's JSON.
TEST(LangMap, EnglishRowsAndMacros) {
  EXPECT_EQ(Map().GetLang(0x0409).lcid, 0x0409);
  EXPECT_EQ(Map().GetWinLang(0x0409), u"ENU");
  // The neutral row borrows the locale of 0x0409 but keeps its own codes.
  const CLangDescr& en = Map().GetLang(0x0009);
  EXPECT_EQ(en.cultureName + u"|" + en.name, u"en|English");
  EXPECT_EQ(en.lcid, 0x0409);
  EXPECT_EQ(Macro(0x0009, u"$(AndroidLang)") + Macro(0x0009, u"$(SymbianLang)") + Macro(0x0009, u"$(WinLang)"),
            u"en01EN");
  // Symbian is looked up by the value as passed: with a brand the table has
  // no entry, and the culture name stands in.
  EXPECT_EQ(Macro(0x30409, u"$(SymbianLang)") + Macro(0x30409, u"$(CultureName)") + Macro(0x30409, u"$(LangId)"),
            u"en-USen-US1033");
  EXPECT_EQ(Macro(0x0418, u"$(SymbianLang)") + u"|" + Macro(0x0c1a, u"$(SymbianLang)"), u"ro-RO|79");
}

// Chinese forms two groups by code page (the simplified group leaves its
// names alone); Norwegian regions are its language names; Cyrillic variants
// get script codes; Kazakh is Unicode-only in the locale data but written in
// 1251, other Unicode-only locales fall back to their OEM code page.
TEST(LangMap, RowsOfSpecialLanguages) {
  ExpectRows<std::u16string, int>(Culture, {{0x0004, u"zh-CHT"}, {0x0014, u"no"}, {0x0414, u"no"},
                                            {0x0814, u"nn-NO"}, {0x0843, u"uz-Cyrl-UZ"},
                                            {0x0c1a, u"sr-Cyrl-" + Map().GetLang(0x0c1a).countryCode}});
  ExpectRows<std::u16string, int>(Name, {{0x0804, u"Chinese, Simplified"}, {0x0004, u"Chinese, Traditional"},
                                         {0x1004, u""}, {0x0014, u"Norwegian"}, {0x0814, u"Norwegian Nynorsk"}});
  ExpectRows<std::u16string, int>(LangCode, {{0x0c1a, u"sr-Cyrl"}, {0x082C, u"az-Cyrl"}, {0x0443, u"uz"},
                                             {0x0028, u"tg-Cyrl"}, {0x0428, u"tg-Cyrl"}});
  ExpectRows<int, int>(AnsiCodepage, {{0x0004, 950}, {0x0404, 950}, {0x0C04, 950}, {0x1404, 950}, {0x0804, 936},
                                      {0x1004, 936}, {0x043F, 1251}, {0x003F, 1251}, {0x0439, 1}, {0x0419, 1251},
                                      {0x0FFF, 0}});
  // Uzbek Latin (1254) and Cyrillic (1251) share the name "Uzbek": the group
  // with the higher code page keeps the tree entry.
  ExpectRows<std::u16string, int>(
      LongName, {{0x0804, u"Chinese, Simplified - China"}, {0x1004, u"Chinese, Simplified - Singapore"},
                 {0x0404, u"Chinese, Traditional - Taiwan"}, {0x0843, u"Uzbek - (2)"},
                 {0x0443, u"Uzbek - Uzbekistan"}, {0x0043, u"Uzbek"}, {0x7C09, u"English - (31)"},
                 {0x30409, u"English - United States"}, {0x0FFF, u"1023 - (3)"}, {0x0333, u"819"}});
  ExpectRows<int>([](const std::u16string& c) { return Map().GetLangByCulName(c); },
                  {{u"no", 0x0014}, {u"NN-no", 0x0814}, {u"en-US", 0x0409}, {u"EN-us", 0x0409}, {u"xx-YY", -1}});
}

TEST(LangMap, NeutralCompletionSkipsIrishAndInuktitut) {
  const auto& langs = Map().GetLangs();
  EXPECT_TRUE(langs.count(0x083C));
  for (int id : {0x003C, 0x043C, 0x005D, 0x7C04}) EXPECT_FALSE(langs.count(id)) << id;
  // Tamazight has no 0x045F locale: completion creates the row, which then
  // stays empty, as a reserved identifier.
  ASSERT_TRUE(langs.count(0x045F));
  EXPECT_EQ(langs.at(0x045F).cultureName, u"");
  EXPECT_EQ(langs.at(0x045F).lcid, 0);
  for (const auto& [id, row] : langs) {
    const int p = id & 0x3FF;
    EXPECT_TRUE(p == 0x3C || p == 0x5D || langs.count(p)) << id;
  }
}

TEST(LangMap, AbsentLanguagesFallBackToTheLowestRow) {
  const int lowest = Map().GetLangs().begin()->first;
  EXPECT_EQ(&Map().GetLang(0x0FFF), &Map().GetLang(lowest));
  EXPECT_EQ(Map().GetLangAbbr(0x0FFF) + Map().GetWinLang(0x0FFF), u"");
  // The lowest row's texts but its own identifier.
  EXPECT_EQ(Macro(0x0FFF, u"$(LangId)"), u"4095");
  EXPECT_EQ(Macro(0x0FFF, u"$(CultureName)"), Map().GetLang(lowest).cultureName);
  // A map without rows has no lowest row to give.
  EXPECT_EQ(CLangMap().GetLang(0x0409).cultureName, u"");
}

TEST(LangMap, RightToLeftByPrimaryLanguage) {
  for (int id : {0x0401, 0x040D, 0x0420, 0x0465, 0x008C, 0x0429, 0x045A, 0x30401})
    EXPECT_TRUE(Map().IsRtlLang(id)) << id;
  for (int id : {0x0409, 0x0413, 0x0419, 0x0000}) EXPECT_FALSE(Map().IsRtlLang(id)) << id;
}
