#include "locmodel/lang/lang_text.h"

#include <gtest/gtest.h>

TEST(LangText, GetLngStrJoinsIdentifiers) {
  std::u16string out = u"unchanged";  // an empty list leaves it alone
  for (const auto& [langs, text] : std::initializer_list<std::pair<std::vector<int>, std::u16string>>{
           {{}, u"unchanged"}, {{1033}, u"1033"}, {{1033, 1031, -1}, u"1033, 1031, -1"}}) {
    GetLngStr(out, langs);
    EXPECT_EQ(out, text);
  }
}

TEST(LangText, StringTablesAreSearchedInRegistrationOrder) {
  locmodel::ClearStringTables();
  EXPECT_EQ(L(1), u"");
  locmodel::RegisterStringTable({{1, u"first"}, {2, u"\u00e9t\u00e9"}});
  locmodel::RegisterStringTable({{1, u"second"}, {3, u"third"}});
  EXPECT_EQ(L(1), u"first");
  EXPECT_EQ(L(3), u"third");
  EXPECT_EQ(L(4), u"");
  EXPECT_EQ(LA(2), "\xc3\xa9t\xc3\xa9");
  locmodel::ClearStringTables();
  EXPECT_EQ(L(1), u"");
}

TEST(LangText, LoadStrAndLoadResId) {
  std::u16string out = u"old";
  LoadStr("h\xc3\xa9llo", out, u"def");
  EXPECT_EQ(out, u"h\u00e9llo");
  LoadStr("", out, u"def", true);
  EXPECT_EQ(out, u"def");
  LoadStr(nullptr, out, nullptr);
  EXPECT_EQ(out, u"");
  using Case = std::pair<const char*, std::u16string>;
  for (const auto& [id, text] : {Case{nullptr, u"#"}, Case{"", u"#"}, Case{"IDD_MAIN", u"IDD_MAIN"}}) {
    LoadResId(id, out);
    EXPECT_EQ(out, text);
  }
}
