#include "locmodel/condition/condition_filter.h"

#include <gtest/gtest.h>

#include "locmodel/items/res_item.h"
#include "support/item_chain.h"
#include "support/stream_reader.h"

namespace {

using namespace testing_support;

CConditionFilterCfg Filters(std::initializer_list<const char16_t*> ids) {
  CConditionFilterCfg cfg;
  for (const char16_t* id : ids) cfg.emplace_back(id, u"Title", u"LANG = \"de\"");
  return cfg;
}

std::vector<std::u16string> Ids(const CConditionFilterCfg& cfg) {
  std::vector<std::u16string> ids;
  for (const auto& entry : cfg) ids.push_back(entry.ID);
  return ids;
}

TEST(ConditionFilter, NamesAreDecoratedPerFormat) {
  EXPECT_EQ(CConditionFilterAccessor(3, u"Cond").GetFilterPropName(), CPropName(u"3.Cond"));
  EXPECT_EQ(CConditionFilterAccessor(3, u"Cond").GetEnablePropName(u"ABC"), CPropName(u"3.Cond.ABC"));
  EXPECT_EQ(CConditionFilterAccessor(-1, u"Cond").GetFilterPropName(), CPropName(u"Cond"));
  const std::u16string id = CConditionEntry::GenerateId();
  EXPECT_EQ(id.size(), 13u);
  EXPECT_TRUE(std::all_of(id.begin(), id.end(), [](char16_t c) { return c >= u'A' && c <= u'Z'; }));
}

TEST(ConditionFilter, ListsJoinDownTheTreeNearestFirst) {
  ItemChain t;
  const CConditionFilterAccessor filters(2, u"Cond");
  EXPECT_TRUE(filters.GetFilterCfg(*t.grandchild, true).empty());
  filters.SetFilterCfg(t.root, Filters({u"R"}));
  filters.SetFilterCfg(*t.child, Filters({u"F1", u"F2"}));
  EXPECT_EQ(Ids(filters.GetFilterCfg(*t.grandchild, true)), (std::vector<std::u16string>{u"F1", u"F2", u"R"}));
  EXPECT_TRUE(filters.GetFilterCfg(*t.grandchild, false).empty());
  // Another format sees none of them.
  EXPECT_TRUE(CConditionFilterAccessor(5, u"Cond").GetFilterCfg(*t.grandchild, true).empty());

  // Setting compares with the nearest stored list only; empty lists change nothing.
  filters.SetFilterCfg(*t.grandchild, Filters({u"F1", u"F2"}));
  filters.SetFilterCfg(*t.grandchild, {});
  EXPECT_EQ(t.grandchild->GetCfgProps().GetPropW(filters.GetFilterPropName()), nullptr);
  filters.SetFilterCfg(*t.grandchild, Filters({u"R"}));
  EXPECT_EQ(Ids(filters.GetFilterCfg(*t.grandchild, false)), (std::vector<std::u16string>{u"R"}));
}

TEST(ConditionFilter, SwitchingOffHidesAFilterBelow) {
  ItemChain t;
  const CConditionFilterAccessor filters(2, u"Cond");
  filters.SetFilterCfg(t.root, Filters({u"A", u"B"}));
  filters.SetConditionEnabled(*t.grandchild, u"A", true);  // already enabled: nothing stored
  EXPECT_TRUE(t.grandchild->GetCfgProps().GetPropCont().empty());
  filters.SetConditionEnabled(*t.child, u"A", false);
  EXPECT_EQ(Ids(filters.GetEnabledFilters(*t.grandchild, true)), (std::vector<std::u16string>{u"B"}));
  filters.SetConditionEnabled(*t.grandchild, u"A", true);
  EXPECT_EQ(Ids(filters.GetEnabledFilters(*t.grandchild, true)), (std::vector<std::u16string>{u"A", u"B"}));
  EXPECT_FALSE(filters.IsConditionEnabled(*t.child, u"A"));
  EXPECT_NE(t.grandchild->GetCfgProps().GetPropW(filters.GetEnablePropName(u"A")), nullptr);
}

TEST(ConditionFilter, EntriesTravelInNamedNodes) {
  CConditionEntry entry(u"I", u"T", u"E");
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { entry.Do(s); }),
            Hex("18 01 02 49 00 44 00 1A 02 00 00 00 49 00 19"
                "18 01 05 54 00 69 00 74 00 6C 00 65 00 1A 02 00 00 00 54 00 19"
                "18 01 0A 45 00 78 00 70 00 72 00 65 00 73 00 73 00 69 00 6F 00 6E 00"
                "1A 02 00 00 00 45 00 19"));
  CConditionFilterCfgProp prop(Filters({u"X", u"Y"}));
  StreamReader stream(WriteStream([&](Serial::ISerialStream& s) { prop.Do(s); }));
  CConditionFilterCfgProp read;
  ASSERT_TRUE(read.Do(stream.reader));
  EXPECT_TRUE(read.IsEqual(prop));
  EXPECT_FALSE(read < prop);
}

}  // namespace
