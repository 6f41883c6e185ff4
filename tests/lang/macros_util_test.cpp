#include "locmodel/lang/macros_util.h"

#include <gtest/gtest.h>

#include "locmodel/lang/lang_map.h"

TEST(MacrosUtil, ExpandsUntilNothingChanges) {
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(A)-$(B)", {{u"$(A)", u"x$(B)"}, {u"$(B)", u"y"}}), u"xy-y");
  // A later placeholder's replacement brings back an earlier one: next pass.
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(B)", {{u"$(A)", u"1"}, {u"$(B)", u"$(A)$(A)"}}), u"11");
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(a) $(A)", {{u"$(A)", u"1"}}), u"$(a) 1");
  // Non-overlapping, left to right.
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"aaa", {{u"aa", u"b"}}), u"ba");
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"", {{u"$(A)", u"1"}}), u"");
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(A)", {}), u"$(A)");
}

TEST(MacrosUtil, HostileMapsStopWithinBounds) {
  // Doubles each pass: stops at the pass limit or the length limit.
  const std::u16string doubled = MacrosUtil::ApplyMacrosMap(u"$(A)", {{u"$(A)", u"$(A)$(A)"}});
  EXPECT_LE(doubled.size(), MacrosUtil::kMaxLength);
  EXPECT_GE(doubled.size(), MacrosUtil::kMaxLength / 2);
  // Grows by one each pass: ends after the pass limit.
  const std::u16string grown = MacrosUtil::ApplyMacrosMap(u"$(A)", {{u"$(A)", u"x$(A)"}});
  EXPECT_EQ(grown, std::u16string(MacrosUtil::kMaxPasses, u'x') + u"$(A)");
  // Two placeholders feeding each other never settle either.
  const std::u16string cycle = MacrosUtil::ApplyMacrosMap(u"$(A)", {{u"$(A)", u"$(B)"}, {u"$(B)", u"$(A)"}});
  EXPECT_EQ(cycle, u"$(A)");
  // An empty placeholder would match everywhere: it is ignored.
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"ab", {{u"", u"x"}, {u"a", u"1"}}), u"1b");
  // A text already over the length limit is still expanded when it shrinks.
  const std::u16string big(MacrosUtil::kMaxLength + 10, u'a');
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(big, {{u"aa", u"a"}}).size(), 1u);
}

TEST(MacrosUtil, MergeLetsTheSecondMapWin) {
  const MacrosUtil::Map merged =
      MacrosUtil::Merge({{u"$(A)", u"1"}, {u"$(B)", u"2"}}, {{u"$(B)", u"3"}});
  EXPECT_EQ(merged, (MacrosUtil::Map{{u"$(A)", u"1"}, {u"$(B)", u"3"}}));
}

TEST(MacrosUtil, ExpandsOutputPatternsWithLanguageMacros) {
  const auto macros = MacrosUtil::Merge(CLangMap::Instance().GetLangMacros(0x0407),
                                        {{u"$(OutputDir)", u"out"}, {u"$(SrcFileName)", u"app"},
                                         {u"$(SrcFileExt)", u".exe"}});
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)", macros),
            u"out\\de-DE\\app.exe");
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(u"$(OutputDir)\\$(SrcFileName)$(WinLang).dll", macros),
            u"out\\appDEU.dll");
}
