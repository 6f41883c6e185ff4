#include "locmodel/lang/locale_db.h"

#include <gtest/gtest.h>

#include <set>

using locmodel::EnumLanguageGroupLocales;
using locmodel::EnumLanguageGroups;
using locmodel::GetLocaleInfo;
using locmodel::LocaleField;

TEST(LocaleDb, EnumeratesOnlySpecificLocalesEachOnce) {
  std::set<int> seen;
  for (int group : EnumLanguageGroups()) {
    for (int id : EnumLanguageGroupLocales(group)) {
      SCOPED_TRACE(id);
      EXPECT_TRUE(seen.insert(id).second);
      EXPECT_NE(id & 0xFC00, 0) << "neutral identifiers are never enumerated";
      EXPECT_LT(id, 0x6400) << "script neutrals are never enumerated";
      // Every enumerated locale is one ICU knows as itself, with the Windows
      // facts beside it.
      EXPECT_FALSE(GetLocaleInfo(id, LocaleField::IsoLanguage).empty());
      EXPECT_FALSE(GetLocaleInfo(id, LocaleField::EnglishLanguage).empty());
      EXPECT_EQ(GetLocaleInfo(id, LocaleField::AbbrevLanguage).size(), 3u);
      EXPECT_EQ(GetLocaleInfo(id & 0x3FF, LocaleField::AbbrevLanguage).size(), 3u)
          << "the neutral of every language needs its abbreviation";
    }
  }
  EXPECT_GT(seen.size(), 200u);
  EXPECT_FALSE(seen.count(0x043C));
  EXPECT_TRUE(EnumLanguageGroupLocales(0).empty());
  EXPECT_TRUE(EnumLanguageGroupLocales(99).empty());
}

TEST(LocaleDb, AnswersLikeTheWindowsLocaleService) {
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::IsoLanguage), u"en");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::IsoCountry), u"US");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::EnglishLanguage), u"English");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::EnglishCountry), u"United States");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::AnsiCodePage), u"1252");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::OemCodePage), u"437");
  EXPECT_EQ(GetLocaleInfo(0x0409, LocaleField::AbbrevLanguage), u"ENU");
  EXPECT_EQ(GetLocaleInfo(0x0009, LocaleField::AbbrevLanguage), u"ENU");
  EXPECT_EQ(GetLocaleInfo(0x0439, LocaleField::AnsiCodePage), u"0");
  EXPECT_EQ(GetLocaleInfo(0x0439, LocaleField::OemCodePage), u"1");
  // Brand bits do not select another locale.
  EXPECT_EQ(GetLocaleInfo(0x30407, LocaleField::AbbrevLanguage), u"DEU");
}

TEST(LocaleDb, RefusesIdentifiersIcuWouldSubstitute) {
  // ICU answers 0x7C09 with "en", the locale of 0x0009.
  EXPECT_EQ(GetLocaleInfo(0x7C09, LocaleField::IsoLanguage), u"");
  EXPECT_EQ(GetLocaleInfo(0x7C09, LocaleField::EnglishLanguage), u"");
  EXPECT_EQ(GetLocaleInfo(0x7C09, LocaleField::AbbrevLanguage), u"");
  EXPECT_EQ(GetLocaleInfo(0x043C, LocaleField::IsoCountry), u"");
  EXPECT_EQ(GetLocaleInfo(0xFFFF, LocaleField::AnsiCodePage), u"");
}
