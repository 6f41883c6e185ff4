#include "locmodel/lang/encoding.h"

#include <gtest/gtest.h>

#include <set>

#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/values.h"

TEST(Encoding, IcuNames) {
  for (int lang : {0x0409, 0x0419, 0x0FFF}) {
    EXPECT_EQ(CEncoding(1252).GetIcuName(lang), u"windows-1252");
    EXPECT_EQ(CEncoding(0).GetIcuName(lang), u"windows-1252");
    EXPECT_EQ(CEncoding(u"UTF-8").GetIcuName(lang), u"UTF-8");
    EXPECT_EQ(CEncoding(u"UTF-8").getCodepage(lang), CEncoding::InvalidCodepage);
  }
  EXPECT_EQ(CEncoding(65001).GetIcuName(0x0409), u"windows-65001");
  EXPECT_EQ(CEncoding(950).GetIcuName(0x0409), u"big5");
  EXPECT_EQ(CEncoding(52936).GetIcuName(0x0409), u"hz-gb2312");
  // Printed as an unsigned 16-bit number.
  EXPECT_EQ(CEncoding(-5).GetIcuName(0x0409), u"windows-65531");
  EXPECT_EQ(CEncoding(u"UTF-8").getEncoding(), u"UTF-8");
}

TEST(Encoding, SelectAnsiByLangFollowsTheLanguage) {
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  EXPECT_EQ(ansi.getCodepage(0x0419), 1251);
  EXPECT_EQ(ansi.GetIcuName(0x0419), u"windows-1251");
  EXPECT_EQ(ansi.GetIcuName(0x0411), u"shift_jis");
  EXPECT_EQ(ansi.getCodepage(0x0FFF), 0);
  EXPECT_EQ(ansi.GetIcuName(0x0FFF), u"windows-1252");
  // Code page -4 with a name is not the special value.
  CEncoding named(u"x");
  CEncoding minus4(-4);
  EXPECT_EQ(minus4, ansi);
  EXPECT_EQ(minus4.getCodepage(0x0419), 1251);
  {
    // A -4 carrying a name can only come from a stream.
    Serial::MemoryStreamOut bytes;
    {
      Serial::Binary::BinarySerialOut out(bytes);
      std::u16string name = u"x";
      int cp = -4;
      Serial::Do(out, name);
      Serial::Do(out, cp);
    }
    Serial::MemoryStreamIn in_bytes(bytes.GetData().data(), static_cast<uint32_t>(bytes.GetData().size()));
    Serial::Binary::BinarySerialIn in(in_bytes);
    EXPECT_TRUE(named.Do(in));
  }
  EXPECT_NE(named, ansi);
  EXPECT_EQ(named.getCodepage(0x0419), -4);
}

TEST(Encoding, IanaNamesComeFromIcu) {
  EXPECT_EQ(CEncoding(936).GetIanaName(0x0409), u"GB2312");
  EXPECT_EQ(CEncoding(1252).GetIanaName(0x0409), u"windows-1252");  // ICU warns: ambiguous alias
  EXPECT_EQ(CEncoding(932).GetIanaName(0x0409), u"Shift_JIS");
  EXPECT_EQ(CEncoding(u"no-such-encoding").GetIanaName(0x0409), u"");
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

TEST(Encoding, SerializesNameThenCodePage) {
  Serial::MemoryStreamOut bytes;
  {
    Serial::Binary::BinarySerialOut out(bytes);
    CEncoding(u"UTF-8").Do(out);
    CEncoding(1251).Do(out);
  }
  Serial::MemoryStreamIn in_bytes(bytes.GetData().data(), static_cast<uint32_t>(bytes.GetData().size()));
  Serial::Binary::BinarySerialIn in(in_bytes);
  std::u16string name;
  int cp = 0;
  ASSERT_TRUE(Serial::Do(in, name));
  ASSERT_TRUE(Serial::Do(in, cp));
  EXPECT_EQ(name, u"UTF-8");
  EXPECT_EQ(cp, CEncoding::InvalidCodepage);
  CEncoding second(0);
  EXPECT_TRUE(second.Do(in));
  EXPECT_EQ(second, CEncoding(1251));
}
