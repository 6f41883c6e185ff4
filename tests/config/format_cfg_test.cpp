// Control mappings from a host table and from a stream.
#include <gtest/gtest.h>

#include "locmodel/config/control_mapping.h"
#include "support/stream_bytes.h"

namespace {

TEST(ControlMapping, FillsFromAHostTableAndReadsOptionalFields) {
  const CControlMappingStore::MAP_INFO table[] = {
      {u"TButton", u"Button"}, {u"TTimer", u"#hidden#"}, {u"TPanel", u"#Hidden#"},
      {u"TSkip", nullptr},     {nullptr, u"Static"},
  };
  CControlMappingList list{{u"TOld", u"Edit"}};
  CControlMappingStore::FillFromStatic(list, table, 0);
  EXPECT_EQ(list.size(), 1u);
  CControlMappingStore::FillFromStatic(list, table, std::size(table));
  CControlTypeMapping hidden;
  hidden.SrcTypeMask = u"TTimer";
  const CControlMappingList expected{
      {u"TOld", u"Edit"}, {u"TButton", u"Button"}, hidden, {u"TPanel", u"#Hidden#"}, {u"", u"Static"}};
  EXPECT_EQ(list, expected);
  CControlMappingStore::FillFromStatic(list, table, 1);  // appends, never merges
  EXPECT_EQ(list.back(), CControlTypeMapping(u"TButton", u"Button"));
  EXPECT_EQ(list.size(), expected.size() + 1);

  // The order looks at the mask only; equality at every field.
  EXPECT_FALSE(CControlTypeMapping(u"A", u"x") < CControlTypeMapping(u"A", u"y"));
  EXPECT_NE(CControlTypeMapping(u"A", u"x"), CControlTypeMapping(u"A", u"y"));

  std::u16string mask = u"TLabel";
  const auto bytes = testing_support::WriteStream(
      [&](Serial::ISerialStream& s) { ASSERT_TRUE(Serial::DoNode(s, u"SrcTypeMask", mask)); });
  testing_support::ReadEachWay(bytes, [&](Serial::ISerialStream& s, bool tree) {
    if (!tree) return;
    CControlTypeMapping read;
    ASSERT_TRUE(read.Do(s));
    EXPECT_EQ(read.SrcTypeMask, u"TLabel");
    EXPECT_FALSE(read.Show);
    EXPECT_TRUE(read.ControlType.empty());
  });
}

}  // namespace
