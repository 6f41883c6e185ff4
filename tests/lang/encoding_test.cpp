#include "locmodel/lang/encoding.h"

#include <gtest/gtest.h>

#include <set>

#include "locmodel/serial/values.h"
#include "support/stream_reader.h"

using testing_support::StreamReader;
using testing_support::WriteStream;

TEST(Encoding, IcuAndIanaNames) {
  for (int lang : {0x0409, 0x0419, 0x0FFF}) {
    EXPECT_EQ(CEncoding(1252).GetIcuName(lang), u"windows-1252");
    EXPECT_EQ(CEncoding(0).GetIcuName(lang), u"windows-1252");
    EXPECT_EQ(CEncoding(u"UTF-8").GetIcuName(lang), u"UTF-8");
    EXPECT_EQ(CEncoding(u"UTF-8").getCodepage(lang), CEncoding::InvalidCodepage);
  }
  // -5 is printed as an unsigned 16-bit number.
  for (const auto& [codepage, name] : std::initializer_list<std::pair<int, std::u16string>>{
           {65001, u"windows-65001"}, {950, u"big5"}, {52936, u"hz-gb2312"}, {-5, u"windows-65531"}})
    EXPECT_EQ(CEncoding(codepage).GetIcuName(0x0409), name);
  EXPECT_EQ(CEncoding(u"UTF-8").getEncoding(), u"UTF-8");
  // IANA names come from ICU (which warns of 1252 as an ambiguous alias).
  for (const auto& [encoding, name] : std::initializer_list<std::pair<CEncoding, std::u16string>>{
           {CEncoding(936), u"GB2312"}, {CEncoding(1252), u"windows-1252"}, {CEncoding(932), u"Shift_JIS"},
           {CEncoding(u"no-such-encoding"), u""}})
    EXPECT_EQ(encoding.GetIanaName(0x0409), name);
}

TEST(Encoding, SelectAnsiByLangFollowsTheLanguage) {
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  EXPECT_EQ(ansi.getCodepage(0x0419), 1251);
  EXPECT_EQ(ansi.GetIcuName(0x0419), u"windows-1251");
  EXPECT_EQ(ansi.GetIcuName(0x0411), u"shift_jis");
  EXPECT_EQ(ansi.getCodepage(0x0FFF), 0);
  EXPECT_EQ(ansi.GetIcuName(0x0FFF), u"windows-1252");
  CEncoding minus4(-4);
  EXPECT_EQ(minus4, ansi);
  EXPECT_EQ(minus4.getCodepage(0x0419), 1251);
}

TEST(Encoding, OrderAndEquality) {
  EXPECT_LT(CEncoding(932), CEncoding(936));
  EXPECT_LT(CEncoding(u"a"), CEncoding(u"b"));
  EXPECT_LT(CEncoding(u"zzz"), CEncoding(0));
  EXPECT_LT(CEncoding::SelectAnsiByLang, CEncoding(u""));
  EXPECT_FALSE(CEncoding(1252) < CEncoding(1252));
  EXPECT_EQ(CEncoding(u"UTF-8"), CEncoding(u"UTF-8"));
  EXPECT_NE(CEncoding(u"UTF-8"), CEncoding(u"utf-8"));
  const std::set<CEncoding> set = {CEncoding(1252), CEncoding(u"UTF-8"), CEncoding(1252)};
  EXPECT_EQ(set.size(), 2u);
}

// Code page -4 with a name is not the special value; only a stream can
// make one.
TEST(Encoding, SerializesNameThenCodePage) {
  StreamReader stream(WriteStream([](Serial::ISerialStream& out) {
    CEncoding(u"UTF-8").Do(out);
    CEncoding(1251).Do(out);
    std::u16string name = u"x";
    int cp = -4;
    Serial::Do(out, name);
    Serial::Do(out, cp);
  }));
  std::u16string name;
  int cp = 0;
  ASSERT_TRUE(Serial::Do(stream.reader, name));
  ASSERT_TRUE(Serial::Do(stream.reader, cp));
  EXPECT_EQ(name, u"UTF-8");
  EXPECT_EQ(cp, CEncoding::InvalidCodepage);
  CEncoding second(0), named(u"x");
  EXPECT_TRUE(second.Do(stream.reader));
  EXPECT_EQ(second, CEncoding(1251));
  EXPECT_TRUE(named.Do(stream.reader));
  EXPECT_NE(named, CEncoding::SelectAnsiByLang);
  EXPECT_EQ(named.getCodepage(0x0419), -4);
}
