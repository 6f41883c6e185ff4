// Format settings: the .NET default filters, control mappings from a host
// table and from a stream, and values of a foreign class under composite
// names.
#include <gtest/gtest.h>

#include <memory>

#include "locmodel/config/control_mapping.h"
#include "locmodel/config/format_cfg.h"
#include "locmodel/items/res_item.h"
#include "support/default_cfg_guard.h"
#include "support/stream_bytes.h"

namespace {

TEST(NetResCfg, DefaultFiltersMatchWithWildcards) {
  const CFilter props = CNetResCfg::GetDefaultPropFilter(), wpf = CNetResCfg::GetDefaultWpfPropFilter();
  for (const char16_t* name : {u"Text", u"Size"}) EXPECT_TRUE(props.IsAllowedName(name, true));
  for (const char16_t* name : {u"Value", u"value", u"FormName", u"ItemCategory", u"TextAsString"}) {
    EXPECT_FALSE(props.IsAllowedName(name, true));
    EXPECT_TRUE(wpf.IsAllowedName(name, true));
  }
}

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

// A damaged file may hold any class under a name: the typed accessors fall
// back to the default, Has reports the holder and Reset removes it.
TEST(FormatCfg, ValueOfAnotherClassReadsAsDefault) {
  DefaultCfgGuard guard;
  CResItem root;
  auto* child = new CResItem();
  root.AddResItem(child);
  CCfgHolder::SetPropW(root, CNetResCfg::PropFilterPropName(), new CStrProp(u"*"));
  CCfgHolder::SetPropW(root, CCommonPreviewCfg::ShowPreviewPropName(), new CFilterProp(CFilter({u"*"}, {})));
  CCfgHolder::SetPropW(root, CInternalFilterCfg::FilterPropName(),
                       new CControlMappingProp(CControlMappingList{{u"T", u"B"}}));

  EXPECT_EQ(CNetResCfg::GetPropFilter(*child, true), CNetResCfg::GetDefaultPropFilter());
  EXPECT_TRUE(CCommonPreviewCfg::GetShowPreview(*child, true));
  EXPECT_TRUE(CInternalFilterCfg::GetFilter(*child, true).empty());
  EXPECT_TRUE(CNetResCfg::HasPropFilter(root));
  EXPECT_TRUE(CCommonPreviewCfg::HasShowPreview(root));
  EXPECT_TRUE(CInternalFilterCfg::HasFilter(root));
  CNetResCfg::ResetPropFilter(root);
  CCommonPreviewCfg::ResetShowPreview(root);
  CInternalFilterCfg::ResetFilter(root);
  EXPECT_FALSE(CNetResCfg::HasPropFilter(root));
  EXPECT_FALSE(CCommonPreviewCfg::HasShowPreview(root));
  EXPECT_FALSE(CInternalFilterCfg::HasFilter(root));

  // Integers the library gives no meaning are kept as they are.
  CNetResCfg::SetBigStrLen(root, -5);
  CPEFormatCfg::SetOutputType(root, 7);
  EXPECT_EQ(CNetResCfg::GetBigStrLen(*child, true), -5);
  EXPECT_EQ(CPEFormatCfg::GetOutputType(*child, true), 7);
}

}  // namespace
