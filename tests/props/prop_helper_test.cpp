#include "locmodel/props/prop_helper.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "locmodel/items/item_events.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "support/event_log.h"

namespace {

constexpr int kEnglish = 0x0409;
constexpr int kGerman = 0x0407;
constexpr int kBrand2 = 2 << 16;
const CPropName kText = CPropName::PROP_TRANS_STR;

void AddText(CResItem& item, int lang, const std::u16string& text) {
  auto* trans = new CTransItem(lang);
  trans->SetStr(text);
  item.AddTransItem(trans);
}

TEST(PropHelper, FallbackGoesFromTargetThroughBrandsToSource) {
  CResItem item;
  AddText(item, kEnglish, u"source");
  const CProp* source = CPropHelper::GetTransProp(&item, kText, kEnglish);
  ASSERT_NE(source, nullptr);

  EXPECT_EQ(CPropHelper::GetTransProp(&item, kText, kGerman), nullptr);
  EXPECT_EQ(CPropHelper::GetTransProp(&item, kText, kGerman, kEnglish), source);
  EXPECT_EQ(CPropHelper::GetTransPropTgt(&item, kText, kGerman, kEnglish), nullptr);
  // Identity, not value: the source compared with itself is never a target.
  EXPECT_EQ(CPropHelper::GetTransPropTgt(&item, kText, kEnglish, kEnglish), nullptr);

  // Lang's language with the source's brand (step three)...
  AddText(item, kGerman, u"unbranded");
  EXPECT_EQ(CPropHelper::GetTransPropStr(&item, kText, kGerman | kBrand2, kEnglish), u"unbranded");
  // ...loses to the source's language with lang's brand (step two).
  AddText(item, kEnglish | kBrand2, u"branded source");
  const CProp* tgt = CPropHelper::GetTransPropTgt(&item, kText, kGerman | kBrand2, kEnglish);
  ASSERT_NE(tgt, nullptr);
  EXPECT_EQ(tgt->GetStr(), u"branded source");
  AddText(item, kGerman | kBrand2, u"target");
  EXPECT_EQ(CPropHelper::GetTransPropStr(&item, kText, kGerman | kBrand2, kEnglish), u"target");

  EXPECT_EQ(CPropHelper::GetTransPropInt(&item, kText, kGerman, kEnglish), 0);
  EXPECT_TRUE(CPropHelper::GetTransPropData(&item, CPropName::PROP_TRANS_DATA, kGerman, kEnglish).empty());
  EXPECT_EQ(CPropHelper::GetTransPropStr(nullptr, kText, kGerman, kEnglish), u"");
}

TEST(PropHelper, SetCreatesTheTranslationInsideOneBracket) {
  CResItem item;
  {
    testing_support::ListeningEventLog log;
    log.names[&item] = "i";
    CPropHelper::SetTransProp(&item, u"Note", new CIntProp(7), kGerman);
    CPropHelper::SetTransProp(&item, kText, new CStrProp(u"t"), kGerman);
    EXPECT_EQ(log.Line(), "begin tadd i ? tchange i ? end begin tchange i ? end");
  }
  ASSERT_EQ(item.GetTransMap().size(), 1u);
  EXPECT_EQ(CPropHelper::GetTransPropInt(&item, u"Note", kGerman, kEnglish), 7);

  EXPECT_TRUE(CPropHelper::HasTransProp(&item, u"Note"));
  EXPECT_FALSE(CPropHelper::HasTransProp(&item, u"Other"));
  std::unique_ptr<CProp> removed(CPropHelper::RemoveTransProp(&item, u"Note", kGerman));
  ASSERT_NE(removed, nullptr);
  EXPECT_EQ(removed->GetInt(), 7);
  EXPECT_FALSE(CPropHelper::HasTransProp(&item, u"Note"));
  EXPECT_EQ(CPropHelper::RemoveTransProp(&item, u"Note", kGerman), nullptr);
  EXPECT_EQ(CPropHelper::RemoveTransProp(&item, kText, kEnglish), nullptr);
  CPropHelper::SetTransProp(nullptr, kText, new CStrProp(u"lost"), kGerman);  // destroyed
}

TEST(PropHelper, HasTranslationsLooksAtBrandsAndOptionallyBelow) {
  CResItem root;
  auto* folder = new CResItem();
  auto* leaf = new CResItem();
  root.AddResItem(new CResItem());
  root.AddResItem(folder);
  folder->AddResItem(leaf);
  AddText(*leaf, kGerman, u"x");
  EXPECT_FALSE(CPropHelper::HasTranslations(&root, kGerman, kEnglish, false));
  EXPECT_TRUE(CPropHelper::HasTranslations(&root, kGerman, kEnglish, true));
  // A branded target accepts lang's language with the source's brand...
  EXPECT_TRUE(CPropHelper::HasTranslations(leaf, kGerman | kBrand2, kEnglish, false));
  // ...but an unbranded one never falls back to the source.
  AddText(*folder, kEnglish, u"y");
  EXPECT_FALSE(CPropHelper::HasTranslations(folder, 0x040C, kEnglish, false));
  EXPECT_FALSE(CPropHelper::HasTranslations(nullptr, kGerman, kEnglish, true));
}

}  // namespace
