#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "locmodel/config/lang_set.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/props/prop_name.h"
#include "support/stream_bytes.h"

namespace {

using namespace testing_support;

TEST(PropName, TextFormRoundTripsAndTextSortsFirst) {
  EXPECT_EQ(CPropName(u""), CPropName());
  EXPECT_EQ(CPropName().ToString(), u"@");
  EXPECT_EQ(CPropName(CPropName::PROP_ITEM_ID).ToString(), u"#20000");
  for (const auto& [text, expected] : {std::pair{u"#20000", CPropName(CPropName::PROP_ITEM_ID)},
                                       {u"LastItemId", CPropName(u"LastItemId")},
                                       {u"@LastItemId", CPropName(u"LastItemId")}}) {
    CPropName name(u"junk");
    name.FromString(text);
    EXPECT_EQ(name, expected);
  }
  EXPECT_EQ(CPropName(u"@x").ToString(), u"@@x");
  // Textual names sort before numeric ones.
  EXPECT_LT(CPropName(u"a"), CPropName(u"b"));
  EXPECT_LT(CPropName(u"zzz"), CPropName(CPropName::PROP_TRANS_DATA));
  EXPECT_LT(CPropName(CPropName::PROP_TRANS_DATA), CPropName(CPropName::PROP_TRANS_STR));
}

TEST(PropName, TravelsAsSixteenBitIdThenText) {
  CPropName numeric(CPropName::PROP_EMBEDDED_CFG);
  EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { numeric.Do(s); }),
            Hex("1A 02 00 00 00 92 01  1A 00 00 00 00"));
  // Only the low 16 bits of an id survive.
  CPropName big(static_cast<CPropName::CPropId>(0x12345));
  ReadInside(WriteBody([&](Serial::ISerialStream& s) { big.Do(s); }), [](Serial::ISerialStream& s) {
    CPropName read;
    read.Do(s);
    EXPECT_EQ(read.GetInt(), 0x2345);
  });
}

TEST(Props, SlotsShowWhatEachClassHolds) {
  EXPECT_EQ(std::tuple(CIntProp(5).GetStr(), CIntProp(-1).AsString()), std::tuple(u"", u"#-1"));
  EXPECT_EQ(std::tuple(CStrProp(u"t").GetInt(), CBoolProp(true).GetInt(), CBoolProp(true).AsString()),
            std::tuple(0, 1, u"true"));
  EXPECT_EQ(CEmptyProp().AsString(), u"Unknown");

  const unsigned char bytes[] = {1, 2, 3};
  CBinaryProp blocks;
  EXPECT_TRUE(CBinaryProp(bytes, 0).GetData().empty());
  blocks.AddBinaryBlock(bytes, 2);
  blocks.AddBinaryBlock(bytes + 2, 1);
  EXPECT_EQ(blocks.GetData(), (std::vector<unsigned char>{1, 2, 3}));
}

TEST(Props, EqualityAndOrderNeedTheSameClass) {
  CIntProp one(1);
  CBoolProp yes(true);
  EXPECT_FALSE(one.IsEqual(yes));
  EXPECT_TRUE(one.IsEqual(CIntProp(1)));
  EXPECT_TRUE(CIntProp(-3) < CIntProp(2));
  // Across classes the class names decide: text names sort before byte names.
  EXPECT_TRUE(CIntVectorProp() < CIntProp(0));
  EXPECT_FALSE(CIntProp(0) < CIntVectorProp());
  EXPECT_TRUE(CBinaryProp(std::vector<unsigned char>{1}) < CBinaryProp(std::vector<unsigned char>{1, 0}));
  EXPECT_FALSE(CBoolProp(true) < CBoolProp(false));
  // Odd orders of the format: embedded configurations are never less,
  // variants always are.
  EXPECT_FALSE(CEmbeddedCfgProp() < CEmbeddedCfgProp());
  EXPECT_TRUE(CVariantProp() < CVariantProp());
  EXPECT_TRUE(CVariantProp(VARIANT::FromInt32(4)).IsEqual(CVariantProp(VARIANT::FromInt32(4))));
  EXPECT_FALSE(CEmptyProp() < CEmptyProp());
  EXPECT_TRUE(CEmptyProp().IsEqual(CEmptyProp()));
}

TEST(Props, CloneAndCreateGiveIndependentObjectsOfTheSameClass) {
  const std::shared_ptr<CProp> props[] = {
      std::make_shared<CStrProp>(u"s"), std::make_shared<CIntStrMapProp>(CIntStrMap{{1, u"a"}}),
      std::make_shared<CStrSetProp>(std::set<std::u16string>{u"b", u"a"}),
      std::make_shared<CLangSetProp>(CLangSet{0x409, 0x407}), std::make_shared<CItemIdProp>(0xFFFFFFFFFFull),
      std::make_shared<CVariantProp>(VARIANT::FromText(u"v"))};
  for (const auto& prop : props) {
    std::unique_ptr<CProp> clone(prop->Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone.get(), prop.get());
    EXPECT_TRUE(clone->IsEqual(*prop));
    EXPECT_EQ(&clone->GetClass(), &prop->GetClass());
    // The class that is not the object's own clones nothing.
    EXPECT_EQ(CIntProp::classInstance.Clone(*prop), nullptr);

    std::unique_ptr<Serial::SerialObject> fresh(
        PropClassRegistry::instance().Create(prop->GetClass().GetName()));
    ASSERT_NE(dynamic_cast<CProp*>(fresh.get()), nullptr);
    EXPECT_EQ(&static_cast<CProp*>(fresh.get())->GetClass(), &prop->GetClass());
  }
  EXPECT_EQ(PropClassRegistry::instance().Create(Serial::NodeName(u"NoSuchProp")), nullptr);
}

TEST(Props, ValueFormsOnTheWire) {
  const std::pair<std::shared_ptr<CProp>, const char*> forms[] = {
      {std::make_shared<CBinaryProp>(std::vector<unsigned char>{0xAB, 0xCD}), "1A 02 00 00 00 AB CD"},
      {std::make_shared<CIntVectorProp>(std::vector<int>{7}),
       "1A 04 00 00 00 01 00 00 00  18 00 1A 04 00 00 00 07 00 00 00 19"},
      {std::make_shared<CEmbeddedCfgProp>(CEmbeddedCfg{CEmbeddedCfg::Resource, 3, 4}),
       "1A 04 00 00 00 02 00 00 00 1A 04 00 00 00 03 00 00 00 1A 04 00 00 00 04 00 00 00"},
      {std::make_shared<CEmptyProp>(), ""},
  };
  for (const auto& [prop, hex] : forms)
    EXPECT_EQ(WriteBody([&](Serial::ISerialStream& s) { prop->Do(s); }), Hex(hex)) << hex;
}

}  // namespace
