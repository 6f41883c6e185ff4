#include "locmodel/lang/lang_map.h"

#include <gtest/gtest.h>

namespace {

const CLangMap& Map() { return CLangMap::Instance(); }

std::u16string Macro(int lang, const char16_t* name) { return Map().GetLangMacros(lang).at(name); }

}  // namespace

TEST(LangMap, EnglishRowsAndMacros) {
  const CLangDescr& us = Map().GetLang(0x0409);
  EXPECT_EQ(us.cultureName, u"en-US");
  EXPECT_EQ(us.langCode, u"en");
  EXPECT_EQ(us.countryCode, u"US");
  EXPECT_EQ(us.ansiCodepage, 1252);
  EXPECT_EQ(us.lcid, 0x0409);
  EXPECT_EQ(us.langGroup, 1);

  const auto macros = Map().GetLangMacros(0x0409);
  ASSERT_EQ(macros.size(), 9u);
  EXPECT_EQ(macros.at(u"$(CultureName)"), u"en-US");
  EXPECT_EQ(macros.at(u"$(JavaLang)"), u"en_US");
  EXPECT_EQ(macros.at(u"$(AndroidLang)"), u"en-rUS");
  EXPECT_EQ(macros.at(u"$(SymbianLang)"), u"10");
  EXPECT_EQ(macros.at(u"$(LangId)"), u"1033");
  EXPECT_EQ(macros.at(u"$(WinLang)"), u"ENU");
  EXPECT_EQ(macros.at(u"$(LangAbbr)"), u"ENU");
  EXPECT_EQ(macros.at(u"$(LangName)"), us.name);
  EXPECT_EQ(macros.at(u"$(LangLongName)"), u"English - " + us.name);

  // The neutral row borrows the locale of 0x0409 but keeps its own codes.
  const CLangDescr& en = Map().GetLang(0x0009);
  EXPECT_EQ(en.cultureName, u"en");
  EXPECT_EQ(en.name, u"English");
  EXPECT_EQ(en.lcid, 0x0409);
  EXPECT_EQ(Macro(0x0009, u"$(AndroidLang)"), u"en");
  EXPECT_EQ(Macro(0x0009, u"$(SymbianLang)"), u"01");
  EXPECT_EQ(Macro(0x0009, u"$(WinLang)"), u"EN");
  EXPECT_EQ(Map().GetWinLang(0x0409), u"ENU");
}

TEST(LangMap, MacrosLookSymbianUpByTheValueAsPassed) {
  // With a brand the Symbian table has no entry: the culture name stands in.
  EXPECT_EQ(Macro(0x30409, u"$(SymbianLang)"), u"en-US");
  EXPECT_EQ(Macro(0x30409, u"$(CultureName)"), u"en-US");
  EXPECT_EQ(Macro(0x30409, u"$(LangId)"), u"1033");
  EXPECT_EQ(Macro(0x0418, u"$(SymbianLang)"), u"ro-RO");
  EXPECT_EQ(Macro(0x0c1a, u"$(SymbianLang)"), u"79");
}

TEST(LangMap, ChineseFormsTwoGroupsByCodePage) {
  EXPECT_EQ(Map().GetLang(0x0004).cultureName, u"zh-CHT");
  EXPECT_EQ(Map().GetLang(0x0804).name, u"Chinese, Simplified");
  EXPECT_EQ(Map().GetLang(0x0004).name, u"Chinese, Traditional");
  EXPECT_EQ(Map().GetLongLangName(0x0804), u"Chinese, Simplified - China");
  EXPECT_EQ(Map().GetLang(0x1004).name, u"") << "the simplified group leaves its names alone";
  EXPECT_EQ(Map().GetLongLangName(0x1004), u"Chinese, Simplified - Singapore");
  for (int id : {0x0004, 0x0404, 0x0C04, 0x1404}) EXPECT_EQ(Map().GetAnsiCodepage(id), 950) << id;
  for (int id : {0x0804, 0x1004}) EXPECT_EQ(Map().GetAnsiCodepage(id), 936) << id;
  EXPECT_EQ(Map().GetLongLangName(0x0404), u"Chinese, Traditional - Taiwan");
}

TEST(LangMap, NorwegianCultures) {
  EXPECT_EQ(Map().GetLang(0x0014).cultureName, u"no");
  EXPECT_EQ(Map().GetLang(0x0414).cultureName, u"no");
  EXPECT_EQ(Map().GetLang(0x0814).cultureName, u"nn-NO");
  EXPECT_EQ(Map().GetLang(0x0014).name, u"Norwegian");
  EXPECT_EQ(Map().GetLangByCulName(u"no"), 0x0014);
  EXPECT_EQ(Map().GetLangByCulName(u"NN-no"), 0x0814);
  // Regions of Norwegian are its language names.
  EXPECT_EQ(Map().GetLang(0x0814).name, u"Norwegian Nynorsk");
}

TEST(LangMap, CyrillicVariantsAndCodePageRules) {
  EXPECT_EQ(Map().GetLang(0x0c1a).langCode, u"sr-Cyrl");
  EXPECT_EQ(Map().GetLang(0x0c1a).cultureName, u"sr-Cyrl-" + Map().GetLang(0x0c1a).countryCode);
  EXPECT_EQ(Map().GetLang(0x0843).cultureName, u"uz-Cyrl-UZ");
  EXPECT_EQ(Map().GetLang(0x082C).langCode, u"az-Cyrl");
  EXPECT_EQ(Map().GetLang(0x0443).langCode, u"uz");
  EXPECT_EQ(Map().GetLang(0x0028).langCode, u"tg-Cyrl");
  EXPECT_EQ(Map().GetLang(0x0428).langCode, u"tg-Cyrl");
  // Kazakh is Unicode-only in the locale data but written in 1251.
  EXPECT_EQ(Map().GetAnsiCodepage(0x043F), 1251);
  EXPECT_EQ(Map().GetAnsiCodepage(0x003F), 1251);
  // Other Unicode-only locales fall back to their OEM code page.
  EXPECT_EQ(Map().GetAnsiCodepage(0x0439), 1);
  EXPECT_EQ(Map().GetAnsiCodepage(0x0419), 1251);
}

TEST(LangMap, LongNames) {
  // Uzbek Latin (1254) and Cyrillic (1251) share the name "Uzbek": the group
  // with the higher code page keeps the tree entry.
  EXPECT_EQ(Map().GetLongLangName(0x0843), u"Uzbek - (2)");
  EXPECT_EQ(Map().GetLongLangName(0x0443), u"Uzbek - Uzbekistan");
  EXPECT_EQ(Map().GetLongLangName(0x0043), u"Uzbek");
  EXPECT_EQ(Map().GetLongLangName(0x7C09), u"English - (31)");
  EXPECT_EQ(Map().GetLongLangName(0x30409), u"English - United States");
  EXPECT_EQ(Map().GetLongLangName(0x0FFF), u"1023 - (3)");
  EXPECT_EQ(Map().GetLongLangName(0x0333), u"819");
}

TEST(LangMap, NeutralCompletionSkipsIrishAndInuktitut) {
  const auto& langs = Map().GetLangs();
  EXPECT_TRUE(langs.count(0x083C));
  EXPECT_FALSE(langs.count(0x003C));
  EXPECT_FALSE(langs.count(0x043C));
  EXPECT_FALSE(langs.count(0x005D));
  EXPECT_FALSE(langs.count(0x7C04));
  // Tamazight has no 0x045F locale: completion creates the row, which then
  // stays empty, as a reserved identifier.
  ASSERT_TRUE(langs.count(0x045F));
  EXPECT_EQ(langs.at(0x045F).cultureName, u"");
  EXPECT_EQ(langs.at(0x045F).lcid, 0);
  for (const auto& [id, row] : langs) {
    const int p = id & 0x3FF;
    if (p != 0x3C && p != 0x5D) {
      EXPECT_TRUE(langs.count(p)) << id;
    }
  }
}

TEST(LangMap, LookupsFallBack) {
  const int lowest = Map().GetLangs().begin()->first;
  EXPECT_EQ(&Map().GetLang(0x0FFF), &Map().GetLang(lowest));
  EXPECT_EQ(Map().GetAnsiCodepage(0x0FFF), 0);
  EXPECT_EQ(Map().GetLangByCulName(u"en-US"), 0x0409);
  EXPECT_EQ(Map().GetLangByCulName(u"EN-us"), 0x0409);
  EXPECT_EQ(Map().GetLangByCulName(u"xx-YY"), -1);
  EXPECT_EQ(Map().GetLangAbbr(0x0FFF), u"");
  EXPECT_EQ(Map().GetWinLang(0x0FFF), u"");
  // An absent language takes the lowest row's texts but its own identifier.
  EXPECT_EQ(Macro(0x0FFF, u"$(LangId)"), u"4095");
  EXPECT_EQ(Macro(0x0FFF, u"$(CultureName)"), Map().GetLang(lowest).cultureName);
}

TEST(LangMap, RightToLeftByPrimaryLanguage) {
  for (int id : {0x0401, 0x040D, 0x0420, 0x0465, 0x008C, 0x0429, 0x045A, 0x30401})
    EXPECT_TRUE(Map().IsRtlLang(id)) << id;
  for (int id : {0x0409, 0x0413, 0x0419, 0x0000}) EXPECT_FALSE(Map().IsRtlLang(id)) << id;
}

TEST(LangMap, CopiesAreIndependentAndEqual) {
  CLangMap copy = Map();
  EXPECT_EQ(copy.GetLangs().size(), Map().GetLangs().size());
  EXPECT_EQ(copy.GetLongLangName(0x0804), Map().GetLongLangName(0x0804));
  EXPECT_EQ(copy.GetLangMacros(0x0009), Map().GetLangMacros(0x0009));
  const CLangMap empty;
  copy = empty;
  EXPECT_TRUE(copy.GetLangs().empty());
  EXPECT_EQ(copy.GetLang(0x0409).cultureName, u"");
  EXPECT_FALSE(Map().GetLangs().empty());
}
