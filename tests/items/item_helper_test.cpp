#include "locmodel/items/item_helper.h"

#include <gtest/gtest.h>

#include "support/item_chain.h"

namespace {

TEST(ItemHelper, TempFileMarkerCountsOnAncestorsOnly) {
  testing_support::ItemChain chain;
  auto& [root, file, resource] = chain;
  CItemHelper::MarkAsTempFile(*file);
  EXPECT_TRUE(file->GetPropW(CItemHelper::TempFileMarker)->IsEqual(CBoolProp(true)));
  EXPECT_FALSE(CItemHelper::IsTempFile(*file));
  EXPECT_TRUE(CItemHelper::IsTempFile(*resource));
  EXPECT_FALSE(CItemHelper::IsTempFile(root));
  // Any value marks the item.
  file->SetPropW(CItemHelper::TempFileMarker, new CBoolProp(false));
  EXPECT_TRUE(CItemHelper::IsTempFile(*resource));
}

TEST(ItemHelper, EmbeddedMarkers) {
  CResItem parent;
  auto* child = new CResItem();
  parent.AddResItem(child);
  EXPECT_EQ(CItemHelper::GetEmbeddedCfg(parent), CEmbeddedCfg{});
  EXPECT_FALSE(CItemHelper::IsSkippedItem(parent));
  EXPECT_FALSE(CItemHelper::IsEmbeddedParent(parent));

  child->SetPropW(CPropName::PROP_EMBEDDED_CHILD);
  EXPECT_TRUE(CItemHelper::IsEmbeddedChild(*child));
  EXPECT_FALSE(CItemHelper::IsStrChild(*child));  // the parent has no origin

  const CEmbeddedCfg origin{CEmbeddedCfg::Resource, 22, 5};
  parent.SetPropW(CPropName::PROP_EMBEDDED_CFG, new CEmbeddedCfgProp(origin));
  EXPECT_EQ(CItemHelper::GetEmbeddedCfg(parent), origin);
  EXPECT_TRUE(CItemHelper::IsEmbeddedParent(parent));
  EXPECT_TRUE(CItemHelper::IsSkippedItem(parent));
  EXPECT_TRUE(CItemHelper::IsStrChild(*child));
  EXPECT_FALSE(CItemHelper::IsStrChild(parent));

  parent.SetPropW(CPropName::PROP_EMBEDDED_CFG, new CEmbeddedCfgProp(CEmbeddedCfg{CEmbeddedCfg::Undefined, 21}));
  EXPECT_FALSE(CItemHelper::IsStrChild(*child));
  EXPECT_FALSE(CItemHelper::IsSkippedItem(parent));

  // A value of another class under the origin's name is no origin.
  parent.SetPropW(CPropName::PROP_EMBEDDED_CFG, new CIntProp(22));
  EXPECT_EQ(CItemHelper::GetEmbeddedCfg(parent), CEmbeddedCfg{});
  EXPECT_TRUE(CItemHelper::IsEmbeddedParent(parent));
}

TEST(ItemIdAccessor, GuidCarriesTheCounterAndA15BitRandom) {
  for (int i = 0; i < 200; ++i) {
    const unsigned long long id = CItemIdAccessor::GetGuidFromCounter(5);
    EXPECT_TRUE((id & 0xFFFFFFFFULL) == 5u && (id >> 32) <= 32767u) << id;
  }
  // From 0xFFFFFFFF on, the counter's low half moves up and the low half is empty.
  const unsigned long long big = CItemIdAccessor::GetGuidFromCounter(0x100000003ULL);
  EXPECT_EQ(big & 0xFFFFFFFFULL, 0u);
  EXPECT_TRUE((big >> 32) >= 3u && (big >> 32) <= 3u + 32767u) << big;
}

TEST(BoolLocker, CountsForItsLifetimeAndNests) {
  int counter = 0;
  {
    CBoolLocker outer(counter);
    { CBoolLocker inner(counter); EXPECT_EQ(counter, 2); }
    EXPECT_EQ(counter, 1);
  }
  EXPECT_EQ(counter, 0);
}

}  // namespace
