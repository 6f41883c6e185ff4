#include "locmodel/lang/locale_db.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

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

// Brand bits do not select another locale; identifiers ICU would answer
// with a substitute (0x7C09 with "en", the locale of 0x0009) get nothing.
TEST(LocaleDb, AnswersLikeTheWindowsLocaleService) {
  using F = LocaleField;
  for (const auto& [id, field, answer] : std::initializer_list<std::tuple<int, F, std::u16string>>{
           {0x0409, F::IsoLanguage, u"en"}, {0x0409, F::IsoCountry, u"US"}, {0x0409, F::EnglishLanguage, u"English"},
           {0x0409, F::EnglishCountry, u"United States"}, {0x0409, F::AnsiCodePage, u"1252"},
           {0x0409, F::OemCodePage, u"437"}, {0x0409, F::AbbrevLanguage, u"ENU"}, {0x0009, F::AbbrevLanguage, u"ENU"},
           {0x0439, F::AnsiCodePage, u"0"}, {0x0439, F::OemCodePage, u"1"}, {0x30407, F::AbbrevLanguage, u"DEU"},
           {0x7C09, F::IsoLanguage, u""}, {0x7C09, F::EnglishLanguage, u""}, {0x7C09, F::AbbrevLanguage, u""},
           {0x043C, F::IsoCountry, u""}, {0xFFFF, F::AnsiCodePage, u""}})
    EXPECT_EQ(GetLocaleInfo(id, field), answer) << id << " " << static_cast<int>(field);
}
