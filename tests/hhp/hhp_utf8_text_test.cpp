// The UTF-8 writer formats the text itself rather than converting
// ToString's: its bytes must stay exactly the UTF-8 of ToString() for every
// kind of field, ASCII or not.
#include <gtest/gtest.h>

#include "hhp/hhp_sample.h"
#include "locmodel/hhp/hhp_writer.h"
#include "locmodel/util/unicode.h"

namespace {

TEST(HhpUtf8Text, BytesAreTheUtf8OfToString) {
  const std::u16string wide = u"\u00E9\u0800\U0001F600";
  std::vector<CHhpInfo> samples = {CHhpInfo(), testing_support::MinimalHhp(), testing_support::FullHhp()};
  CHhpInfo wideFields = testing_support::FullHhp();
  for (std::u16string* field : {&wideFields.Title, &wideFields.DefaultFont, &wideFields.Windows[0].WindowType,
                                &wideFields.Windows[0].TitleBarText, &wideFields.Windows[1].Jump2Text,
                                &wideFields.MergeList[0], &wideFields.Files.back(), &wideFields.AliasList[0].val})
    *field = wide + *field + wide;
  samples.push_back(wideFields);
  for (const CHhpInfo& info : samples) {
    const std::string expected = locmodel::Utf16ToUtf8(info.ToString());
    std::string bytes;
    ASSERT_TRUE(locmodel::EncodeHhp(info, {}, bytes).ok());
    EXPECT_EQ(bytes, expected);
  }
}

}  // namespace
