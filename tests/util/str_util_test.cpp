#include "locmodel/util/str_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "support/rows.h"

using locmodel::MakeIntResource;
using testing_support::ExpectRows;
using testing_support::ExpectRows2;

TEST(UnifiedId, WritesAndReadsNumbersAndNames) {
  // Plain integer literals of every kind are numbers, 0 included; 64 bits keep the low 32.
  for (const std::u16string& id : {ToUnifiedFmt(101ul), ToUnifiedFmt(MakeIntResource(101)), ToUnifiedFmt(101),
                                   ToUnifiedFmt(101u), Res2Unified(MakeIntResource(101))})
    EXPECT_EQ(id, u"#101");
  EXPECT_EQ(ToUnifiedFmt(0) + ToUnifiedFmt(uint16_t{7}) + ToUnifiedFmt(0x1'0000'0005ll), u"#0#7#5");
  EXPECT_EQ(Res2Unified(MakeIntResource(65535)), u"#65535");
  EXPECT_EQ(ToUnifiedFmt(u"DIALOG1"), u"@DIALOG1");
  EXPECT_EQ(Res2Unified(u"DIALOG1"), u"@DIALOG1");

  const auto c = [](auto fn) { return [fn](const std::u16string& s) { return fn(s.c_str()); }; };
  ExpectRows(c(StrFromUnified), {{u"@DIALOG1", u"DIALOG1"}, {u"DIALOG1", u"DIALOG1"}, {u"@@x", u"@x"}});
  ExpectRows<bool>(c(IsStrUnified), {{u"@A", true}, {u"A#", true}, {u"#1", false}});
  ExpectRows(ResIdToGui, {{u"#101", u"101"}, {u"@Main", u"Main"}, {u"Main", u"Main"}});
  // The C-runtime style parse: blanks and a sign, 64 bits cut to 32.
  ExpectRows<unsigned long>(c(NumFromUnified),
                            {{u"#  42x", 42u}, {u"#-1", 0xFFFFFFFFu}, {u"#4294967297", 1u}, {u"", 0u}});
  EXPECT_EQ(NumFromUnified(u"#99999999999999999999999"), NumFromUnified(u"#99999999999999999999999"));

  unsigned long id = 7;
  EXPECT_FALSE(IdFromString(u"@12", id));
  EXPECT_EQ(id, 7u);
  EXPECT_TRUE(IdFromString(u"#12", id));
  EXPECT_EQ(id, 12u);
}

TEST(UnifiedId, Unified2ResGivesNumericIdOrOwnedCopy) {
  char16_t* res = nullptr;
  Unified2Res(u"#70000", res);  // only the low 16 bits travel
  EXPECT_TRUE(locmodel::IsIntResource(res));
  EXPECT_EQ(res, MakeIntResource(70000 & 0xFFFF));
  locmodel::ReleaseBuffer(res);  // harmless on a number
  Unified2Res(u"@Menu", res);
  ASSERT_FALSE(locmodel::IsIntResource(res));
  EXPECT_EQ(Res2Unified(res), u"@Menu");
  locmodel::ReleaseBuffer(res);
  Unified2Res(u"", res);
  EXPECT_EQ(std::u16string(res), u"");
  locmodel::ReleaseBuffer(res);
}

TEST(EscapeCodes, ShowHideAndGuiForms) {
  ExpectRows(ShowEscapeCodes, {{u"\\\t\n", u"\\\\\\t\\n"}, {u"\a\b\f\r\v", u"\\a\\b\\f\\r\\v"}});
  // Backslash runs count: an even run escapes nothing, an odd one at the end is
  // dropped, an unknown letter stands for itself.
  ExpectRows(HideEscapeCodes, {{u"\\\\\\t\\n", u"\\\t\n"}, {u"\\\\\\n", u"\\\n"}, {u"\\\\n", u"\\n"},
                               {u"\\x", u"x"}, {u"a\\", u"a"}, {u"a\\\\\\", u"a\\"}, {u"no escapes", u"no escapes"}});
  using S = std::u16string;
  for (const S& s : {S(u""), S(u"plain\\"), S(u"\\\\n"), S(u"a\\\nb\t\\\\\a"), S(u"x\0y", 3)})
    EXPECT_EQ(HideEscapeCodes(ShowEscapeCodes(s)), s);
  EXPECT_EQ(GuiStrToStr(u"\\n"), u"@\n");
  ExpectRows(StrToGuiStr, {{u"#12", u""}, {u"@a\tb", u"a\\tb"}, {GuiStrToStr(u"x\\\\y\\r"), u"x\\\\y\\r"}});
  EXPECT_EQ(ShowFormattingSymols(u"a\tb"), u"a\tb");
}

TEST(Escapes, SqlXmlHtmlAndBlackberry) {
  ExpectRows([](const std::u16string& s) { return DuplicateSpecChar(s.c_str()); },
             {{u"O'Neil", u"O''Neil"}, {u"''", u"''''"}, {u"none", u"none"}});
  ExpectRows(CStrUtil::EscapeXMLString, {{u"a<b&c", u"a&lt;b&amp;c"}, {u"\">&amp;", u"&quot;&gt;&amp;amp;"}});
  ExpectRows(CStrUtil::SafeHTMLText, {{u"ab", u"&#97;&#98;"}, {u"\uFFFF", u"&#65535;"}});
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\u00e9", true), u"\\u00e9");
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\u00e9", false), u"\u00e9");
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\"\\\f\n\r\t\x7f\x01", true), u"\\\"\\\\\\f\\n\\r\\t\\u007f\\u0001");
  ExpectRows(CStrUtil::UnescapeBlackberryStr,
             {{u"\\u00E9", u"\u00e9"}, {u"\\u20ACx", u"\u20acx"}, {u"[\\u00e]", u"[]"}, {u"\\u00e9z", u"\u00e9z"},
              {u"\\qx\\", u"qx\\"}, {u"\\\\n", u"\\n"}});
  const std::u16string text = u"say \"hi\"\\\n\t\u20ac\x02";
  for (bool nonAscii : {true, false})
    EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(CStrUtil::EscapeBlackberryStr(text, nonAscii)), text);
}

TEST(StrUtil, TrimAndCaseMapping) {
  // Only blank, CR, TAB and LF trim.
  for (const auto& [text, from, to] : std::initializer_list<std::tuple<std::u16string, int, int>>{
           {u" \t a b\r\n", 3, 6}, {u" \r\n\t", 4, 4}, {u"", 0, 0}, {u"\vx\f", 0, 3}}) {
    int start = -1, end = -1;
    CStrUtil::TrimWhitespaces(text, start, end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(from, to)) << testing::PrintToString(text);
  }
  std::u16string s = u"Abc\u00c9\u0130\u03a3";
  CStrUtil::MakeLower(s);
  EXPECT_EQ(s, u"abc\u00e9i\u03c3");  // simple mapping: one unit each
  CStrUtil::MakeUpper(s, 1);
  EXPECT_EQ(s, u"aBc\u00e9i\u03c3");
  CStrUtil::MakeUpper(s);
  EXPECT_EQ(s, u"ABC\u00c9I\u03a3");
  EXPECT_THROW(CStrUtil::MakeLower(s, 6), std::out_of_range);
  EXPECT_THROW(CStrUtil::MakeUpper(s, -2), std::out_of_range);
  std::u16string empty;
  EXPECT_THROW(CStrUtil::MakeLower(empty, 0), std::out_of_range);
}

TEST(StrUtil, WildcardMatch) {
  ExpectRows2<bool>([](auto& t, auto& p) { return CStrUtil::WildcardMatch(t, p, false); },
                    {{u"Dialog.rc", u"*.rc", true}, {u"Dialog.rc", u"?ialog*", true}, {u"Dialog.rc", u"*.RC", false},
                     {u"a.rc.rc", u"*.rc", true}, {u"", u"", true}, {u"", u"***", true}, {u"", u"?", false},
                     {u"abc", u"ab", false}, {u"ab", u"abc", false}, {u"abb", u"*?b", true}, {u"ab", u"*??b", false},
                     {u"xaybzc", u"*a*b*c", true}, {u"xaybz", u"*a*b*c", false}});
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"Dialog.rc", u"*.RC", true));
  // Many stars against a long text that never matches: must stay polynomial.
  const std::u16string text(100000, u'a');
  EXPECT_FALSE(CStrUtil::WildcardMatch(text, u"*a*a*a*a*a*b", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(text + u"b", u"*a*a*a*a*a*b", false));
}

TEST(StrUtil, RandomStrAndTrunc) {
  const std::u16string r = CStrUtil::RandomStr(32);
  ASSERT_EQ(r.size(), 32u);
  for (char16_t c : r) EXPECT_TRUE(c >= u'A' && c <= u'Z');
  EXPECT_EQ(CStrUtil::RandomStr(0) + CStrUtil::RandomStr(-3), u"");
  ExpectRows([](const std::u16string& s) { return CStrUtil::TruncLongString(s, 10); },
             {{u"1234567", u"1234567"}, {u"12345678", u"1234567..."}});
  EXPECT_EQ(CStrUtil::TruncLongString(u"abc", 2), u"...");
  EXPECT_EQ(CStrUtil::TruncLongString(u"", 0), u"");
}

TEST(StrBuffers, Conversions) {
  // Every buffer is held the way a host would hold it.
  using Utf8 = std::unique_ptr<char[], locmodel::BufferDeleter>;
  using Wide = std::unique_ptr<char16_t[], locmodel::BufferDeleter>;
  int len = 0;
  Utf8 utf8(UnicodeToUTF8(u"\u00e9\U0001F600", &len));
  EXPECT_EQ(len, 7);
  EXPECT_STREQ(utf8.get(), "\xc3\xa9\xf0\x9f\x98\x80");
  utf8.reset(UnicodeToUTF8(u"", &len));
  EXPECT_EQ(len, 1);
  EXPECT_EQ(utf8[0], '\0');
  utf8.reset(UnicodeToAnsi(u"caf\u00e9"));
  EXPECT_STREQ(utf8.get(), "caf\xc3\xa9");
  locmodel::ReleaseBuffer(nullptr);

  // With or without a terminator among the bytes; malformed units are replaced, never fail.
  for (const auto& [bytes, size, text] : std::initializer_list<std::tuple<const char*, int, std::u16string>>{
           {"ab\xc3\xa9", 4, u"ab\u00e9"}, {"ab", 3, u"ab"}, {"xyz", 0, u""}, {"a\xff", 2, u"a\uFFFD"}}) {
    const Wide wide(UTF8ToUnicode(bytes, size));
    EXPECT_EQ(std::u16string(wide.get()), text) << bytes;
  }
}
