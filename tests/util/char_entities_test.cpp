#include "locmodel/util/char_entities.h"

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>

#include <set>
#include <tuple>

#include "locmodel/util/unicode.h"
#include "support/rows.h"

namespace {

using H = CCharEntitiesHelper;

std::u16string Decode(std::u16string text) {
  H::HTMLEntitiesToUnicode(text);
  return text;
}

}  // namespace

// libxml2 knows the HTML 4.01 entities plus "apos": each of its names must
// map to the same character in our table, and every name of ours that it
// lacks must be one of our seven additions.
TEST(CharEntities, HtmlTableMatchesLibxml2) {
  const auto& names = H::GetHTMLEntityToUnicodeMap();
  const auto& chars = H::GetUnicodeToHTMLEntityMap();
  EXPECT_EQ(names.size(), 259u);
  EXPECT_EQ(chars.size(), 253u);

  const std::set<std::u16string> extras = {u"apos", u"AMP", u"COPY", u"GT", u"LT", u"QUOT", u"REG"};
  int shared = 0;
  for (const auto& [name, c] : names) {
    const htmlEntityDesc* desc =
        htmlEntityLookup(reinterpret_cast<const xmlChar*>(locmodel::Utf16ToUtf8(name).c_str()));
    if (extras.count(name)) continue;
    ASSERT_NE(desc, nullptr) << locmodel::Utf16ToUtf8(name);
    EXPECT_EQ(desc->value, unsigned{c}) << locmodel::Utf16ToUtf8(name);
    ++shared;
  }
  EXPECT_EQ(shared, 252);
  for (unsigned cp = 0; cp <= 0xFFFF; ++cp) {
    if (const htmlEntityDesc* desc = htmlEntityValueLookup(cp)) {
      const auto it = names.find(locmodel::Utf8ToUtf16(reinterpret_cast<const char*>(desc->name)));
      ASSERT_NE(it, names.end()) << desc->name;
      EXPECT_EQ(unsigned{it->second}, cp);
    }
  }
  // The extras come last, so their upper-case names win for encoding.
  EXPECT_EQ(chars.at(u'&'), u"AMP");
  EXPECT_EQ(chars.at(169), u"COPY");
  EXPECT_EQ(chars.at(u'\''), u"apos");
  EXPECT_EQ(names.at(u"amp"), u'&');
}

// A numeric reference has at most six decimal or four hex digits and names
// a character other than 0 in the first plane; a miss stays as it is and the
// scan goes on; a result is never decoded again.
TEST(CharEntities, DecodesNamedAndNumericReferences) {
  testing_support::ExpectRows(Decode, {{u"a&nbsp;b&#233;c&#xE9;d", u"a\u00a0b\u00e9c\u00e9d"},
                                       {u"&AMP;&amp;&Eacute;&eacute;", u"&&\u00c9\u00e9"}, {u"&foo;&amp;", u"&foo;&"},
                                       {u"&&amp;", u"&&"}, {u"&#38;#65;", u"&#65;"}, {u"&#000065;", u"A"},
                                       {u"&#x0041;", u"A"}, {u"&#X41;", u"A"}, {u"&#65535;", u"\uFFFF"},
                                       {u"&#55296;", std::u16string(1, char16_t(0xD800))}});
  for (const char16_t* kept : {u"&#0000065;", u"&#x00041;", u"&#0;", u"&#x0;", u"&#;", u"&#x;",
                               u"&#65536;", u"&#1234567;", u"&#x10000;", u"&#65", u"&#6a;"})
    EXPECT_EQ(Decode(kept), kept);
  std::u16string xml = u"&AMP;&amp;&eacute;&apos;";
  H::XMLEntitiesToUnicode(xml);
  EXPECT_EQ(xml, u"&AMP;&&eacute;'");
}

// A reference needs room before the end ("&" at n - 3 at the latest), starts
// at `from`, has a case-sensitive name and a character other than 0; a miss leaves
// start and end alone.
TEST(CharEntities, GetNextEntity) {
  const H::EntityToUnicodeMap names = {{u"a", u'A'}, {u"z", u'\0'}};
  for (const auto& [text, from, found, at] : std::initializer_list<std::tuple<std::u16string, int, char16_t, int>>{
           {u"x&a;", 0, u'A', 1}, {u"xx&a", 0, 0, -1}, {u"xxx&", 0, 0, -1}, {u"&a;&a;", 1, u'A', 3},
           {u"&a;", 1, 0, -1}, {u"&A;", 0, 0, -1}, {u"&z;", 0, 0, -1}}) {
    int start = -1, end = -1;
    EXPECT_EQ(H::GetNextEntity(names, text, from, start, end), found) << testing::PrintToString(text);
    EXPECT_EQ(std::make_pair(start, end), found ? std::make_pair(at, at + 2) : std::make_pair(-1, -1));
  }
}

TEST(CharEntities, Encodes) {
  std::u16string text = u"'&\"\u00a9<\u00e9x";
  H::UnicodeToHTMLEntities(text);
  EXPECT_EQ(text, u"&apos;&AMP;&QUOT;&COPY;&LT;&eacute;x");
  text = u"<\u00e9>&\"'";
  H::UnicodeToXMLEntities(text);
  EXPECT_EQ(text, u"&lt;\u00e9&gt;&amp;&quot;&apos;");
  EXPECT_EQ(H::ToXML(u"a<b"), u"a&lt;b");
  EXPECT_EQ(H::GetXMLEntityToUnicodeMap().size(), 5u);
  EXPECT_EQ(H::GetUnicodeToXMLEntityMap().size(), 5u);
  // Encoding then decoding gives every character back, except the seven
  // whose names hold digits (sup1, frac14, there4, ...): a named reference
  // is letters only, so those names are written but never read.
  for (const auto& [c, name] : H::GetUnicodeToHTMLEntityMap()) {
    std::u16string round(1, c);
    H::UnicodeToHTMLEntities(round);
    H::HTMLEntitiesToUnicode(round);
    const bool letters_only = name.find_first_of(u"0123456789") == std::u16string::npos;
    EXPECT_EQ(round == std::u16string(1, c), letters_only) << locmodel::Utf16ToUtf8(name);
  }
  EXPECT_EQ(Decode(u"&sup2;&frac12;"), u"&sup2;&frac12;");
}

// Hiding keeps length and offsets, and does not create new references.
TEST(CharEntities, HideKeepsLengthAndOffsets) {
  const auto hide = [](std::u16string text) {
    H::HideHTMLEntities(text);
    return text;
  };
  testing_support::ExpectRows(hide, {{u"x&amp;y", u"x&&&&&y"},
                                     {u"&lt;b&gt;&#233;&bogus;", u"<<<<b>>>>\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9&bogus;"},
                                     {u"&amp;amp;", u"&&&&&amp;"}});
}
