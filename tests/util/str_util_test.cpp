#include "locmodel/util/str_util.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>

using locmodel::MakeIntResource;

TEST(UnifiedId, WritesNumbersAndNames) {
  EXPECT_EQ(ToUnifiedFmt(101ul), u"#101");
  EXPECT_EQ(ToUnifiedFmt(MakeIntResource(101)), u"#101");
  EXPECT_EQ(ToUnifiedFmt(u"DIALOG1"), u"@DIALOG1");
  // Plain integer literals of every kind are numbers, 0 included.
  EXPECT_EQ(ToUnifiedFmt(0), u"#0");
  EXPECT_EQ(ToUnifiedFmt(101), u"#101");
  EXPECT_EQ(ToUnifiedFmt(101u), u"#101");
  EXPECT_EQ(ToUnifiedFmt(uint16_t{7}), u"#7");
  EXPECT_EQ(ToUnifiedFmt(0x1'0000'0005ll), u"#5");  // low 32 bits
  EXPECT_EQ(Res2Unified(MakeIntResource(101)), u"#101");
  EXPECT_EQ(Res2Unified(MakeIntResource(65535)), u"#65535");
  EXPECT_EQ(Res2Unified(u"DIALOG1"), u"@DIALOG1");
}

TEST(UnifiedId, ReadsNumbersAndNames) {
  EXPECT_EQ(StrFromUnified(u"@DIALOG1"), u"DIALOG1");
  EXPECT_EQ(StrFromUnified(u"DIALOG1"), u"DIALOG1");
  EXPECT_EQ(StrFromUnified(u"@@x"), u"@x");
  EXPECT_TRUE(IsStrUnified(u"@A"));
  EXPECT_TRUE(IsStrUnified(u"A#"));
  EXPECT_FALSE(IsStrUnified(u"#1"));
  EXPECT_EQ(ResIdToGui(u"#101"), u"101");
  EXPECT_EQ(ResIdToGui(u"@Main"), u"Main");
  EXPECT_EQ(ResIdToGui(u"Main"), u"Main");

  // The C-runtime style parse: blanks and a sign, 64 bits cut to 32.
  EXPECT_EQ(NumFromUnified(u"#  42x"), 42u);
  EXPECT_EQ(NumFromUnified(u"#-1"), 0xFFFFFFFFu);
  EXPECT_EQ(NumFromUnified(u"#4294967297"), 1u);
  EXPECT_EQ(NumFromUnified(u"#99999999999999999999999"), NumFromUnified(u"#99999999999999999999999"));
  EXPECT_EQ(NumFromUnified(u""), 0u);

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
  EXPECT_EQ(std::u16string(res), u"Menu");
  EXPECT_EQ(Res2Unified(res), u"@Menu");
  locmodel::ReleaseBuffer(res);

  Unified2Res(u"", res);
  EXPECT_EQ(std::u16string(res), u"");
  locmodel::ReleaseBuffer(res);
}

TEST(EscapeCodes, ShowAndHideRoundTrip) {
  EXPECT_EQ(ShowEscapeCodes(u"\\\t\n"), u"\\\\\\t\\n");
  EXPECT_EQ(HideEscapeCodes(u"\\\\\\t\\n"), u"\\\t\n");
  EXPECT_EQ(ShowEscapeCodes(u"\a\b\f\r\v"), u"\\a\\b\\f\\r\\v");
  const std::u16string samples[] = {u"", u"plain", u"\\", u"\\\\n", u"a\\\nb\t\\\\\a",
                                    std::u16string(u"x\0y", 3)};
  for (const auto& s : samples) EXPECT_EQ(HideEscapeCodes(ShowEscapeCodes(s)), s);
}

TEST(EscapeCodes, HideCountsBackslashRuns) {
  EXPECT_EQ(HideEscapeCodes(u"\\\\\\n"), u"\\\n");  // three backslashes and n
  EXPECT_EQ(HideEscapeCodes(u"\\\\n"), u"\\n");      // an even run escapes nothing
  EXPECT_EQ(HideEscapeCodes(u"\\x"), u"x");          // unknown letter stands for itself
  EXPECT_EQ(HideEscapeCodes(u"a\\"), u"a");          // odd run at the end is dropped
  EXPECT_EQ(HideEscapeCodes(u"a\\\\\\"), u"a\\");
  EXPECT_EQ(HideEscapeCodes(u"no escapes"), u"no escapes");
}

TEST(EscapeCodes, GuiForms) {
  EXPECT_EQ(GuiStrToStr(u"\\n"), u"@\n");
  EXPECT_EQ(StrToGuiStr(u"#12"), u"");
  EXPECT_EQ(StrToGuiStr(u"@a\tb"), u"a\\tb");
  EXPECT_EQ(StrToGuiStr(GuiStrToStr(u"x\\\\y\\r")), u"x\\\\y\\r");
  EXPECT_EQ(ShowFormattingSymols(u"a\tb"), u"a\tb");
}

TEST(Escapes, SqlXmlAndHtml) {
  EXPECT_EQ(DuplicateSpecChar(u"O'Neil"), u"O''Neil");
  EXPECT_EQ(DuplicateSpecChar(u"''"), u"''''");
  EXPECT_EQ(DuplicateSpecChar(u"none"), u"none");
  EXPECT_EQ(CStrUtil::EscapeXMLString(u"a<b&c"), u"a&lt;b&amp;c");
  EXPECT_EQ(CStrUtil::EscapeXMLString(u"\">&amp;"), u"&quot;&gt;&amp;amp;");
  EXPECT_EQ(CStrUtil::SafeHTMLText(u"ab"), u"&#97;&#98;");
  EXPECT_EQ(CStrUtil::SafeHTMLText(u"\uFFFF"), u"&#65535;");
}

TEST(Escapes, Blackberry) {
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\u00e9", true), u"\\u00e9");
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\u00e9", false), u"\u00e9");
  EXPECT_EQ(CStrUtil::EscapeBlackberryStr(u"\"\\\f\n\r\t\x7f\x01", true),
            u"\\\"\\\\\\f\\n\\r\\t\\u007f\\u0001");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"\\u00E9"), u"\u00e9");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"\\u20ACx"), u"\u20acx");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"[\\u00e]"), u"[]");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"\\u00e9z"), u"\u00e9z");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"\\qx\\"), u"qx\\");
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(u"\\\\n"), u"\\n");
  const std::u16string text = u"say \"hi\"\\\n\t\u20ac\x02";
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(CStrUtil::EscapeBlackberryStr(text, true)), text);
  EXPECT_EQ(CStrUtil::UnescapeBlackberryStr(CStrUtil::EscapeBlackberryStr(text, false)), text);
}

TEST(StrUtil, TrimWhitespaces) {
  int start = -1, end = -1;
  CStrUtil::TrimWhitespaces(u" \t a b\r\n", start, end);
  EXPECT_EQ(start, 3);
  EXPECT_EQ(end, 6);
  CStrUtil::TrimWhitespaces(u" \r\n\t", start, end);
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 4);
  CStrUtil::TrimWhitespaces(u"", start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  CStrUtil::TrimWhitespaces(u"\vx\f", start, end);  // only blank, CR, TAB, LF trim
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 3);
}

TEST(StrUtil, CaseMapping) {
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
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"Dialog.rc", u"*.rc", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"Dialog.rc", u"?ialog*", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"Dialog.rc", u"*.RC", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"Dialog.rc", u"*.RC", true));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"a.rc.rc", u"*.rc", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"", u"", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"", u"***", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"", u"?", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"abc", u"ab", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"ab", u"abc", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"abb", u"*?b", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"ab", u"*??b", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(u"xaybzc", u"*a*b*c", false));
  EXPECT_FALSE(CStrUtil::WildcardMatch(u"xaybz", u"*a*b*c", false));
  // Many stars against a long text that never matches: must stay polynomial.
  const std::u16string text(100000, u'a');
  EXPECT_FALSE(CStrUtil::WildcardMatch(text, u"*a*a*a*a*a*b", false));
  EXPECT_TRUE(CStrUtil::WildcardMatch(text + u"b", u"*a*a*a*a*a*b", false));
}

TEST(StrUtil, RandomStrAndTrunc) {
  const std::u16string r = CStrUtil::RandomStr(32);
  ASSERT_EQ(r.size(), 32u);
  for (char16_t c : r) EXPECT_TRUE(c >= u'A' && c <= u'Z');
  EXPECT_EQ(CStrUtil::RandomStr(0), u"");
  EXPECT_EQ(CStrUtil::RandomStr(-3), u"");

  EXPECT_EQ(CStrUtil::TruncLongString(u"1234567", 10), u"1234567");
  EXPECT_EQ(CStrUtil::TruncLongString(u"12345678", 10), u"1234567...");
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

  Wide wide(UTF8ToUnicode("ab\xc3\xa9", 4));  // no terminator among the bytes
  EXPECT_EQ(std::u16string(wide.get()), u"ab\u00e9");
  wide.reset(UTF8ToUnicode("ab", 3));  // the terminator is one of the bytes
  EXPECT_EQ(std::u16string(wide.get()), u"ab");
  wide.reset(UTF8ToUnicode("xyz", 0));
  EXPECT_EQ(wide[0], u'\0');
  wide.reset(UTF8ToUnicode("a\xff", 2));  // malformed units are replaced, never fail
  EXPECT_EQ(std::u16string(wide.get()), u"a\uFFFD");

  utf8.reset(UnicodeToAnsi(u"caf\u00e9"));
  EXPECT_STREQ(utf8.get(), "caf\xc3\xa9");
  locmodel::ReleaseBuffer(nullptr);

  // A numeric identifier from Unified2Res is harmless in the same holder.
  char16_t* res = nullptr;
  Unified2Res(u"#5", res);
  wide.reset(res);
  Unified2Res(u"@Name", res);
  wide.reset(res);
  EXPECT_EQ(std::u16string(wide.get()), u"Name");
}
