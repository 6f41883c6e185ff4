#include "locmodel/lang/macros_util.h"

#include <gtest/gtest.h>

#include <tuple>

// Expansion repeats until nothing changes (a later placeholder's
// replacement can bring back an earlier one), non-overlapping, left to right.
TEST(MacrosUtil, ExpandsUntilNothingChanges) {
  using Case = std::tuple<std::u16string, MacrosUtil::Map, std::u16string>;
  for (const auto& [text, map, expanded] : std::initializer_list<Case>{
           {u"$(A)-$(B)", {{u"$(A)", u"x$(B)"}, {u"$(B)", u"y"}}, u"xy-y"},
           {u"$(B)", {{u"$(A)", u"1"}, {u"$(B)", u"$(A)$(A)"}}, u"11"}, {u"$(a) $(A)", {{u"$(A)", u"1"}}, u"$(a) 1"},
           {u"aaa", {{u"aa", u"b"}}, u"ba"}, {u"", {{u"$(A)", u"1"}}, u""}, {u"$(A)", {}, u"$(A)"},
           // Hostile maps: two placeholders feeding each other never settle;
           // an empty placeholder would match everywhere and is ignored.
           {u"$(A)", {{u"$(A)", u"$(B)"}, {u"$(B)", u"$(A)"}}, u"$(A)"}, {u"ab", {{u"", u"x"}, {u"a", u"1"}}, u"1b"}})
    EXPECT_EQ(MacrosUtil::ApplyMacrosMap(text, map), expanded) << testing::PrintToString(text);
}

TEST(MacrosUtil, HostileMapsStopWithinBounds) {
  // Doubles each pass: stops at the pass limit or the length limit.
  const std::u16string doubled = MacrosUtil::ApplyMacrosMap(u"$(A)", {{u"$(A)", u"$(A)$(A)"}});
  EXPECT_LE(doubled.size(), MacrosUtil::kMaxLength);
  EXPECT_GE(doubled.size(), MacrosUtil::kMaxLength / 2);
  // Grows by one each pass: ends after the pass limit.
  const std::u16string grown = MacrosUtil::ApplyMacrosMap(u"$(A)", {{u"$(A)", u"x$(A)"}});
  EXPECT_EQ(grown, std::u16string(MacrosUtil::kMaxPasses, u'x') + u"$(A)");
  // A text already over the length limit is still expanded when it shrinks.
  const std::u16string big(MacrosUtil::kMaxLength + 10, u'a');
  EXPECT_EQ(MacrosUtil::ApplyMacrosMap(big, {{u"aa", u"a"}}).size(), 1u);
}

TEST(MacrosUtil, MergeLetsTheSecondMapWin) {
  const MacrosUtil::Map merged =
      MacrosUtil::Merge({{u"$(A)", u"1"}, {u"$(B)", u"2"}}, {{u"$(B)", u"3"}});
  EXPECT_EQ(merged, (MacrosUtil::Map{{u"$(A)", u"1"}, {u"$(B)", u"3"}}));
}
