#include "locmodel/util/unicode.h"

#include <gtest/gtest.h>

using locmodel::Utf16ToUtf8;
using locmodel::Utf8ToUtf16;

TEST(Unicode, RoundTripsEveryPlaneAndReplacesLoneSurrogates) {
  const std::u16string text = u"a\u00e9\u20ac\U0001F600\u0000z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\u00e9\U0001F600"), "\xc3\xa9\xf0\x9f\x98\x80");
  // Unpaired surrogates, in either order and at the end.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xef\xbf\xbd" "b");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), char16_t(0xD800)}), "\xef\xbf\xbd\xef\xbf\xbd");
}

// One U+FFFD per maximal subpart of an ill-formed sequence: the Unicode
// Standard's examples (Tables 3-8 to 3-11 and the mixed line before them),
// with the answers of Python's bytes.decode("utf-8", "replace"). In the
// expectations '?' stands for U+FFFD.
TEST(Unicode, ReplacesEachMaximalSubpartOfMalformedUtf8) {
  const struct {
    const char* bytes;
    const char* expected;
  } cases[] = {
      {"\xC0\xAF\xE0\x80\xBF\xF0\x81\x82\x41", "????????A"},  // non-shortest forms
      {"\xED\xA0\x80\xED\xBF\xBF\xED\xAF\x41", "????????A"},  // surrogates
      {"\xF4\x91\x92\x93\xFF\x41\x80\xBF\x42", "?????A??B"},  // past U+10FFFF, FF, stray tails
      {"\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41", "????A"},      // truncated sequences
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64", "a???b?c??d"},
      {"\xE0\x80\x80", "???"},
      {"\xF5\x80\x80\x80", "????"},
      {"a\xE2\x82", "a?"},
      {"\xF0\x9F\x98", "?"},
  };
  for (const auto& c : cases) {
    std::u16string expected;
    for (const char* p = c.expected; *p; ++p) expected.push_back(*p == '?' ? u'\uFFFD' : char16_t(*p));
    EXPECT_EQ(Utf8ToUtf16(c.bytes), expected) << c.expected;
  }
  // The first and last values each lead byte's narrowed range admits.
  EXPECT_EQ(Utf8ToUtf16("\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"),
            u"\u0800\uD7FF\uE000\U00010000\U0010FFFF");
}
