#include "locmodel/props/cfg_holder.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "locmodel/config/prj_config.h"
#include "locmodel/props/accessor.h"
#include "locmodel/util/unicode.h"
#include "support/default_cfg_guard.h"
#include "support/item_chain.h"

namespace {

// A per-format accessor as format-specific configurations declare them.
class CTestFormatCfg : public CCustomAccessor {
 public:
  using CCustomAccessor::CCustomAccessor;
  using CCustomAccessor::DecoratePropName;

  LOCMODEL_CFG_FORMAT_PROP(OutFile, u"Test.OutFile", CStrProp, std::u16string, u"out.txt");
};

const CPropName& ImportName() { return CPrjConfig::IsImportByItemIdEnabledPropName(); }

class CfgInheritance : public ::testing::Test, protected testing_support::ItemChain {
 protected:
  CfgInheritance() { CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, ImportName()); }
  DefaultCfgGuard guard;
};

// (The rest of the accessor pattern is checked for every property by the
// table test.)
TEST_F(CfgInheritance, SetNeverResetsAnOwnValue) {
  CPrjConfig::SetIsImportByItemIdEnabled(root, true);
  CPrjConfig::SetIsImportByItemIdEnabled(*child, false);
  // Back to the parent's value: the child keeps a value of its own.
  CPrjConfig::SetIsImportByItemIdEnabled(*child, true);
  EXPECT_TRUE(CPrjConfig::HasIsImportByItemIdEnabled(*child));
  EXPECT_TRUE(CPrjConfig::GetIsImportByItemIdEnabled(*child, false));
  CPrjConfig::ResetIsImportByItemIdEnabled(*child);
  CPrjConfig::ResetIsImportByItemIdEnabled(*child);  // nothing to remove
  EXPECT_FALSE(CPrjConfig::HasIsImportByItemIdEnabled(*child));
  EXPECT_TRUE(CPrjConfig::HasIsImportByItemIdEnabled(root));
}

TEST_F(CfgInheritance, DefaultIsSeededOnFirstUseUnlessTheHostStoredOne) {
  EXPECT_FALSE(CPrjConfig::GetIsImportByItemIdEnabled(*child, true));
  const CProp* seeded = CCfgHolder::GetDefaultCfg().GetPropW(ImportName());
  ASSERT_NE(seeded, nullptr);
  EXPECT_TRUE(seeded->IsEqual(CBoolProp(false)));

  CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, ImportName());
  CCfgHolder::GetDefaultCfg().SetPropW(ImportName(), new CBoolProp(true));
  EXPECT_TRUE(CPrjConfig::GetIsImportByItemIdEnabledDefaultValue());
  EXPECT_TRUE(CPrjConfig::GetIsImportByItemIdEnabled(*grandchild, true));
  // Storing the built-in default on an item is then a change.
  CPrjConfig::SetIsImportByItemIdEnabled(*child, false);
  EXPECT_TRUE(CPrjConfig::HasIsImportByItemIdEnabled(*child));
}

TEST_F(CfgInheritance, OperatorKeepsASnapshotAndStoresOnlyChanges) {
  std::unique_ptr<IPropOperator> op(CPrjConfig::CreateIsImportByItemIdEnabledOperator(*child));
  // A later default does not reach an existing operator.
  CCfgHolder::GetDefaultCfg().SetPropW(ImportName(), new CBoolProp(true));
  EXPECT_TRUE(op->GetProp(true)->IsEqual(CBoolProp(false)));

  CPrjConfig::SetIsImportByItemIdEnabled(root, false);  // differs from the new default
  EXPECT_FALSE(op->IsDefault());
  op->SetProp(new CBoolProp(false));  // equal to the effective value: destroyed
  EXPECT_EQ(op->GetProp(true), root.GetCfgProps().GetPropW(ImportName()));
  op->SetProp(new CIntProp(0));  // another class is never equal
  EXPECT_TRUE(CPrjConfig::HasIsImportByItemIdEnabled(*child));
  op->SetProp(new CBoolProp(true));
  EXPECT_TRUE(op->GetProp(false)->IsEqual(CBoolProp(true)));
  op->SetProp(nullptr);
  op->ResetProp();
  EXPECT_FALSE(CPrjConfig::HasIsImportByItemIdEnabled(*child));
  EXPECT_TRUE(op->GetProp(false)->IsEqual(CBoolProp(false)));  // the snapshot
}

// (Decorated names and the operations at one format are the table test's.)
TEST_F(CfgInheritance, PerFormatValuesStayApartOnItemsAndDefaults) {
  const CTestFormatCfg xml(3), html(5);
  CCfgHolder::GetDefaultCfg().SetPropW(u"5.Test.OutFile", new CStrProp(u"host.htm"));
  EXPECT_EQ(html.GetOutFile(*child, true), u"host.htm");
  EXPECT_EQ(xml.GetOutFile(*child, true), u"out.txt");
  EXPECT_NE(CCfgHolder::GetDefaultCfg().GetPropW(u"3.Test.OutFile"), nullptr);
  EXPECT_EQ(CCfgHolder::GetDefaultCfg().GetPropW(u"Test.OutFile"), nullptr);

  xml.SetOutFile(root, u"root.xml");
  EXPECT_EQ(xml.GetOutFile(*grandchild, true), u"root.xml");
  EXPECT_EQ(html.GetOutFile(*grandchild, true), u"host.htm");
  EXPECT_FALSE(html.HasOutFile(root));
}

TEST(CustomAccessor, DecoratesOnlyTextualNamesOfARealFormat) {
  const CPropName id(CPropName::PROP_ITEM_ID);
  for (const auto& [format, name, decorated] : std::initializer_list<std::tuple<int, CPropName, CPropName>>{
           {-1, id, id}, {0, id, id}, {3, id, id}, {-1, u"Xml.OutFile", u"Xml.OutFile"},
           {3, u"Xml.OutFile", u"3.Xml.OutFile"}, {-7, u"A", u"-7.A"}})
    EXPECT_EQ(CTestFormatCfg(format).DecoratePropName(name), decorated) << format;
}

TEST_F(CfgInheritance, PropsByPrefixListLevelsFromTheItemUp) {
  root.GetCfgProps().SetPropW(u"NetRes.A", new CIntProp(1));
  root.GetCfgProps().SetPropW(u"NetRes.", new CIntProp(2));
  root.GetCfgProps().SetPropW(u"NetRes", new CIntProp(3));
  child->GetCfgProps().SetPropW(u"NetRes.B", new CIntProp(4));
  child->GetCfgProps().SetPropW(u"NetRes.A", new CIntProp(5));
  child->GetCfgProps().SetPropW(u"NetRet.A", new CIntProp(6));
  child->GetCfgProps().SetPropW(CPropName::PROP_ITEM_ID, new CItemIdProp(7));

  std::vector<CCfgHolder::CPropItem> rows = CCfgHolder::GetPropsByPrefixOrdered(*grandchild, u"NetRes.");
  CCfgHolder::GetPropsByPrefix(root, rows, u"", 7);  // every textual name, appended
  std::string listed;  // name, level and value of each row
  for (const auto& row : rows)
    listed += locmodel::Utf16ToUtf8(row.name) + " " + std::to_string(row.level) + " " +
              std::to_string(row.prop->GetInt()) + ", ";
  EXPECT_EQ(listed, "NetRes.A -1 5, NetRes.B -1 4, NetRes.A -2 1, NetRes 7 3, NetRes. 7 2, NetRes.A 7 1, ");
  EXPECT_EQ(rows[2].prop, root.GetCfgProps().GetPropW(u"NetRes.A"));
  CCfgHolder::FreePropsVector(rows);
  EXPECT_TRUE(rows.empty());
  EXPECT_NE(root.GetCfgProps().GetPropW(u"NetRes.A"), nullptr);
}

TEST(CfgHolder, DefaultItemTakesPartOnlyWhenAttached) {
  EXPECT_TRUE(CCfgHolder::IsDefaultAttached(&CCfgHolder::DefaultItem));
  EXPECT_FALSE(CCfgHolder::IsDefaultAttached(nullptr));

  CCfgHolder::CDefaultResItem defaults;
  auto* item = new CResItem();
  CResItem detached;
  defaults.AddResItem(item);
  EXPECT_TRUE(CCfgHolder::IsDefaultAttached(item));
  EXPECT_FALSE(CCfgHolder::IsDefaultAttached(&detached));
  defaults.GetCfgProps().SetPropW(u"Answer", new CIntProp(42));
  EXPECT_EQ(CCfgHolder::GetPropW(*item, u"Answer", true)->GetInt(), 42);
  EXPECT_EQ(CCfgHolder::GetPropW(detached, u"Answer", true), nullptr);
}

}  // namespace
