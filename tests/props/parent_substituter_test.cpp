#include "locmodel/props/parent_substituter.h"

#include <gtest/gtest.h>

#include "locmodel/items/item_events.h"
#include "locmodel/props/cfg_holder.h"
#include "locmodel/props/prop_classes.h"
#include "support/event_log.h"

namespace {

class ParentSubstituter : public ::testing::Test {
 protected:
  ParentSubstituter() {
    folder = new CResItem();
    root.AddResItem(folder);
    for (CResItem*& child : children) {
      child = new CResItem();
      folder->AddResItem(child);
    }
    root.GetCfgProps().SetPropW(u"Answer", new CIntProp(42));
    folder->GetCfgProps().SetPropW(u"Mode", new CStrProp(u"folder"));
    events.events.clear();
  }

  CItemEventServer& server = CItemEventServer::Instance();
  CResItem root;
  CResItem* folder;
  CResItem* children[3];
  testing_support::ListeningEventLog events;
};

TEST_F(ParentSubstituter, ItemSeesItsConfigurationUnderCopiesAndReturnsUnseen) {
  CResItem* item = children[1];
  {
    CParentSubstituter sub(*item);
    EXPECT_TRUE(server.IsLocked());
    EXPECT_EQ(std::pair(sub.GetItem(), sub.GetItemLevel()), std::pair(item, 2));
    CResItem* copy = item->GetParent();
    ASSERT_NE(copy, folder);
    EXPECT_EQ(copy->GetResItems().size(), 1u);  // the item alone, not its siblings
    EXPECT_EQ(sub.GetTopParent(), copy->GetParent());
    EXPECT_NE(sub.GetTopParent(), &root);
    EXPECT_EQ(CCfgHolder::GetPropW(*item, u"Answer", true)->GetInt(), 42);
    EXPECT_EQ(CCfgHolder::GetPropW(*item, u"Mode", true)->GetStr(), u"folder");
    copy->GetCfgProps().SetPropW(u"Mode", new CStrProp(u"private"));
    EXPECT_EQ(folder->GetResItems().size(), 2u);
  }
  EXPECT_FALSE(server.IsLocked());
  ASSERT_EQ(folder->GetResItems().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(folder->GetResItems()[i], children[i]);
    EXPECT_EQ(children[i]->GetParent(), folder);
  }
  EXPECT_EQ(folder->GetCfgProps().GetPropW(u"Mode")->GetStr(), u"folder");

  // The root has nothing above it to copy.
  {
    CParentSubstituter sub(root);
    EXPECT_EQ(std::pair(sub.GetTopParent(), sub.GetItemLevel()), std::pair(&root, 0));
    EXPECT_TRUE(server.IsLocked());
  }
  EXPECT_FALSE(server.IsLocked());
  EXPECT_EQ(root.GetResItems().size(), 1u);
  EXPECT_EQ(events.Line(), "");
}

}  // namespace
