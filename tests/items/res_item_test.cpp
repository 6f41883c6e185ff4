#include "locmodel/items/res_item.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "locmodel/items/item_events.h"
#include "locmodel/props/prop_classes.h"
#include "support/event_log.h"

namespace {

using namespace testing_support;

class Items : public ::testing::Test {
 protected:
  ListeningEventLog log;
};

TEST_F(Items, StateBitsAndDataAreCopiedAndAppended) {
  CResItem item;
  item.SetReadOnly(true);
  item.SetItemLocked(true);
  EXPECT_EQ(item.GetState(), 3);
  item.SetState(4);
  EXPECT_FALSE(item.IsReadOnly() || item.IsItemLocked());

  const unsigned char bytes[] = {1, 2, 3, 4, 5};
  item.AddBinaryBlock(bytes, 2);
  item.AddBinaryBlock(bytes + 2, 3);
  ASSERT_EQ(item.GetDataSize(), 5u);
  EXPECT_TRUE(std::equal(bytes, bytes + 5, item.GetData()));
  item.SetData(item.GetData() + 1, 3);  // its own bytes
  EXPECT_EQ(item.GetData()[0], 2);
  item.SetData(bytes, 0);
  EXPECT_EQ(item.GetData(), nullptr);

  CTransItem trans(7);
  log.names[&trans] = "t";
  trans.AddBinaryBlock(bytes, 2);
  trans.AddBinaryBlock(bytes + 2, 3);
  EXPECT_TRUE(trans.GetDataSize() == 5u && trans.GetData()[4] == 5);
  EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "tchange ? t"), 1);
  trans.SetStr(u"a");
  trans.SetStr(u"b");
  EXPECT_EQ(trans.GetStr(), u"b");
}

TEST_F(Items, ChildrenAndTranslationsRaiseTheirEventsInOrder) {
  CResItem parent;
  auto* child = new CResItem;
  auto* trans = new CTransItem(1033);
  log.names = {{&parent, "p"}, {child, "c"}, {trans, "t"}};
  CResItem stranger;
  EXPECT_EQ(parent.RemoveItem(&stranger), nullptr);
  parent.AddResItem(child);
  EXPECT_EQ(child->GetParent(), &parent);
  parent.AddTransItem(trans);
  parent.ChangeTransLang(trans, 1031);
  EXPECT_FALSE(parent.HasTranslation(1033));
  EXPECT_EQ(parent.GetTranslation(1031), trans);
  EXPECT_EQ(trans->GetLang(), 1031);
  parent.GetCfgProps().SetPropW(u"X", new CIntProp(1));
  parent.SetPropW(u"Own", new CIntProp(1));
  EXPECT_EQ(parent.RemoveItem(child), child);
  delete child;
  EXPECT_EQ(log.events, (std::vector<std::string>{
                            "add p c", "change c", "tadd p t", "begin", "tremove p t",
                            "tchange p t", "tadd p t", "end", "change p", "cfg p new", "change p",
                            "change c", "remove p c", "begin", "delete c", "end"}));

  // A translation added over another takes the entry; the old one is the caller's.
  auto* second = new CTransItem(1031);
  parent.AddTransItem(second);
  EXPECT_EQ(parent.GetTranslation(1031), second);
  delete trans;
}

TEST_F(Items, ParentLinksAndDestructionRaiseTheirEvents) {
  auto* parent = new CResItem;
  auto* a = new CResItem;
  auto* b = new CResItem;
  log.names = {{parent, "p"}, {a, "a"}, {b, "b"}};
  // Each change of a parent link is one change of the child.
  a->SetParent(parent);
  EXPECT_EQ(a->GetParent(), parent);
  a->SetParent(nullptr);
  parent->AddResItem(a);
  parent->AddResItem(b);
  parent->ClearResItemList();
  EXPECT_EQ(b->GetParent(), nullptr);
  EXPECT_EQ(log.events, (std::vector<std::string>{"change a", "change a", "add p a", "change a",
                                                  "add p b", "change b", "begin", "change a",
                                                  "remove p a", "change b", "remove p b", "end"}));
  // Destruction announces the root first; the children's own brackets fold
  // into the root's.
  parent->AddResItem(a);
  parent->AddResItem(b);
  for (int lang : {1, 2, 3}) parent->AddTransItem(new CTransItem(lang));
  log.events.clear();
  delete parent;
  EXPECT_EQ(log.events, (std::vector<std::string>{"begin", "delete p", "delete a", "delete b", "end"}));
}

TEST_F(Items, CopiesCarryContentButNoLinks) {
  CResItem source;
  source.SetResId(u"@IDD");
  source.SetComment(u"c");
  const unsigned char bytes[] = {9};
  source.SetData(bytes, 1);
  source.SetPropW(u"Own", new CStrProp(u"x"));
  source.GetCfgProps().SetPropW(u"Cfg", new CIntProp(2));
  source.AddResItem(new CResItem);
  source.AddTransItem(new CTransItem(5));
  CResItem copy(source);
  EXPECT_TRUE(copy == source);
  EXPECT_TRUE(copy.GetResItems().empty());
  EXPECT_TRUE(copy.GetTransMap().empty());
  copy.GetCfgProps().SetPropW(u"Cfg", new CIntProp(3));
  EXPECT_FALSE(copy == source);

  CTransItem trans(5);
  trans.SetKey(12);
  trans.SetStr(u"s");
  CTransItem transCopy(trans);
  EXPECT_EQ(transCopy.GetKey(), 9999999);
  EXPECT_TRUE(transCopy == trans);
}

}  // namespace
