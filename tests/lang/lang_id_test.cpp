#include "locmodel/lang/lang_id.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(LangId, OldNoLanguageValueBecomesTheCurrentOne) {
  EXPECT_EQ(CLangId(77777777).GetLang(), 7777);
  EXPECT_EQ(CLangId(1033).GetLang(), 1033);
  // The short form keeps the brand but replaces the low half of 77777777.
  EXPECT_EQ(CLangId(static_cast<short>(0xCB71), 2).GetLang(), 0x21E61);
  EXPECT_EQ(CLangId(77777777), CLangId(7777));
  EXPECT_NE(CLangId(0x0409), CLangId(0x30409));
}

TEST(LangId, SplitsIdentifierAndBrand) {
  const CLangId lang(static_cast<short>(0x0409), 3);
  EXPECT_EQ(std::make_tuple(lang.GetLang(), lang.GetBrand(), lang.GetRawLng(), lang.GetPrimaryLng()),
            std::make_tuple(0x30409, 3, 0x0409, 9));
  EXPECT_EQ(CLangId(0x7C09).GetPrimaryLng(), 9);
  EXPECT_EQ(CLangId(static_cast<short>(0x0409), CLangId::UnrealBrand).GetBrand(), 255);
  // A negative 16-bit identifier widens with its sign: the brand is lost in
  // the sign bits, exactly as the stored value has always been formed.
  EXPECT_EQ(CLangId(static_cast<short>(-2), 5).GetLang(), -2);
}
