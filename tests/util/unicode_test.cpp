#include "locmodel/util/unicode.h"

#include <gtest/gtest.h>

using locmodel::Utf16ToUtf8;
using locmodel::Utf8ToUtf16;

TEST(Unicode, RoundTripsEveryPlane) {
  const std::u16string text = u"a\u00e9\u20ac\U0001F600\u0000z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xc3\xa9");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xf0\x9f\x98\x80");
}

TEST(Unicode, ReplacesMalformedInputWithReplacementCharacter) {
  // Unpaired surrogates, in either order and at the end.
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b'}), "a\xef\xbf\xbd" "b");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), char16_t(0xD800)}),
            "\xef\xbf\xbd\xef\xbf\xbd");
  // Truncated, overlong, surrogate-encoding and out-of-range UTF-8.
  EXPECT_EQ(Utf8ToUtf16("a\xe2\x82"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xf4\x90\x80\x80"), u"\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xff" "x"), u"\uFFFDx");
}
