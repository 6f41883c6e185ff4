// The accessor pattern of every catalogued property, generated from the
// hand-written table in cfg_props_table.inc: names, value classes,
// defaults, inheritance on a three-level tree, operators, values of a
// foreign class, and the catalog's type-erased operations. Per-format rows
// run at the undecorated format, at 0 and at 12.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>

#include "cli/value_text.h"
#include "locmodel/config/control_mapping.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/format_cfg.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/item_helper.h"
#include "locmodel/props/accessor.h"
#include "locmodel/segm/segm_util.h"
#include "locmodel/util/unicode.h"
#include "support/default_cfg_guard.h"
#include "support/item_chain.h"

namespace {

using locmodel::CfgCatalog;
using locmodel::CfgPropEntry;

// The format numbers per-format rows are tested with; static rows run once.
constexpr int kFormats[] = {CCustomAccessor::UNDECORATED_FORMAT, 0, 12};

// A value in the table's text form: as `config get` prints it, but for an
// SRX store, printed as the SRX document, which leaves the cascade flag out:
// the table writes the flag and the number of entries.
template <typename P>
std::string Text(const typename P::ValueType& v) {
  std::string out;
  if constexpr (std::is_same_v<P, CSRXStoreProp>)
    out = std::string("{\"cascade\":") + (v.IsCascade() ? "true" : "false") +
          ",\"entries\":" + std::to_string(v.GetRulesLangMap().size()) + "}";
  else
    locmodel::cli::AppendValueText(out, P(v));
  return out;
}
std::string NameText(const CPropName& name) {
  return name.IsStr() ? locmodel::Utf16ToUtf8(name.GetStr()) : "#" + std::to_string(name.GetInt());
}

// A second value, different from `v`.
bool Other(bool v) { return !v; }
int Other(int v) { return v + 1; }
unsigned long long Other(unsigned long long v) { return v + 1; }
std::u16string Other(const std::u16string& v) { return v + u"~"; }
CIntStrMap Other(const CIntStrMap&) { return {{0, u"Source"}, {7, u"Lite"}}; }
CPrjLangs Other(const CPrjLangs&) { return CPrjLangs::FromStored(0x0409, 0x0407, 7777, {0x0407, 0x040C}); }
CDBTablesCfg Other(const CDBTablesCfg&) {
  CDBTableCfg table;
  table.KeyFields.push_back({u"Id", true});
  return {table};
}
CFilter Other(const CFilter&) { return CFilter({u"a*"}, {u"ab"}); }
CXmlNamespacesCfg Other(const CXmlNamespacesCfg&) { return {{u"a", u"urn:a"}}; }
CEncodingCfg Other(const CEncodingCfg&) { return CEncodingCfg(CEncoding(1252)); }
CXPathMappingList Other(const CXPathMappingList&) { return {{u"//p", 3}}; }
CLangSet Other(const CLangSet&) { return {0x0407}; }
CControlMappingList Other(const CControlMappingList&) { return {{u"TButton", u"Button"}}; }
CSRXStore Other(const CSRXStore&) {
  CSRXStore store;
  store.SetCascade(false);
  return store;
}

// The documented operations of one property, as a row reaches them.
template <typename T>
struct Ops {
  CPropName (*name)();
  const T& (*defaultValue)();
  const T& (*get)(const CResItem&, bool);
  void (*set)(CResItem&, const T&);
  bool (*has)(const CResItem&);
  void (*reset)(CResItem&);
  IPropOperator* (*createOperator)(CResItem&);
  bool (*isOwnOperator)(const IPropOperator*);
};

struct Row {
  const char* family;
  const char* accessor;
  const char* name;
  const char* valueClass;
  const char* defaultText;
  bool perFormat;
  void (*check)(const Row&, int format);
};

// A row and the format number it runs with.
struct Case {
  const Row* row;
  int format;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.row->family << "::" << c.row->accessor << "@" << c.format; }

class CfgTable : public ::testing::TestWithParam<Case> {};

template <typename P, typename T>
void CheckProperty(const Row& row, int format, const Ops<T>& ops) {
  DefaultCfgGuard guard;
  const CPropName name = ops.name();
  const bool decorated = row.perFormat && format != CCustomAccessor::UNDECORATED_FORMAT;
  EXPECT_EQ(NameText(name), (decorated ? std::to_string(format) + "." : "") + row.name);

  // The built-in default is stored in the default configuration on first use.
  CCfgHolder::DeleteProp(CCfgHolder::DefaultItem, name);
  const T builtIn = ops.defaultValue();
  const CProp* seeded = CCfgHolder::GetDefaultCfg().GetPropW(name);
  ASSERT_NE(seeded, nullptr);
  EXPECT_STREQ(seeded->GetClass().GetTypeName(), row.valueClass);
  EXPECT_EQ(Text<P>(builtIn), row.defaultText);
  const T other = Other(builtIn);
  ASSERT_NE(Text<P>(other), Text<P>(builtIn));

  testing_support::ItemChain chain;
  auto& [root, child, grandchild] = chain;
  std::unique_ptr<IPropOperator> op(ops.createOperator(*grandchild));
  EXPECT_TRUE(ops.isOwnOperator(op.get()));
  EXPECT_EQ(op->GetPropName(), name);
  EXPECT_TRUE(op->IsDefault());
  op->SetProp(new P(builtIn));  // the effective value: destroyed
  EXPECT_FALSE(ops.has(*grandchild));

  ops.set(*child, builtIn);  // the effective value: nothing stored
  EXPECT_FALSE(ops.has(*child));
  ops.set(root, other);
  EXPECT_TRUE(ops.has(root));
  EXPECT_FALSE(ops.has(*child));
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(other));
  EXPECT_EQ(Text<P>(ops.get(*grandchild, false)), Text<P>(builtIn));
  EXPECT_FALSE(op->IsDefault());
  op->SetProp(new P(other));  // inherited already
  EXPECT_FALSE(ops.has(*grandchild));
  ops.set(*child, builtIn);  // differs from what the child inherits
  EXPECT_TRUE(ops.has(*child));
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(builtIn));
  ops.reset(*child);
  EXPECT_FALSE(ops.has(*child));
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(other));
  op->SetProp(new P(builtIn));
  EXPECT_TRUE(ops.has(*grandchild));
  op->ResetProp();
  EXPECT_FALSE(ops.has(*grandchild));

  // A value of another class (a damaged file) reads as absent, and the walk
  // up stops at its holder.
  auto foreign = []() -> CProp* {
    if constexpr (std::is_same_v<P, CStrProp>) return new CIntProp(1);
    else return new CStrProp(u"1");
  };
  CProp* stray = foreign();
  CCfgHolder::SetPropW(*child, name, stray);
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(builtIn));
  EXPECT_TRUE(ops.has(*child));
  ops.set(*child, builtIn);  // compared with the default: nothing stored
  EXPECT_EQ(CCfgHolder::GetPropW(*child, name, false), stray);
  ops.set(*child, other);
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(other));
  ops.reset(*child);
  EXPECT_FALSE(ops.has(*child));
  CCfgHolder::GetDefaultCfg().SetPropW(name, foreign());
  EXPECT_EQ(Text<P>(ops.defaultValue()), Text<P>(builtIn));
  EXPECT_EQ(&CCfgHolder::GetDefaultCfg().GetPropW(name)->GetClass(), &P::classInstance);

  // The catalog reaches the same property without knowing its type.
  const CfgPropEntry* entry = CfgCatalog::Find(row.family, row.accessor);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->perFormat, row.perFormat);
  EXPECT_EQ(entry->valueClass, &P::classInstance);
  EXPECT_EQ(NameText(entry->baseName()), row.name);
  EXPECT_EQ(entry->name(format), name);
  std::unique_ptr<CProp> fresh(entry->newDefault());
  EXPECT_TRUE(fresh->IsEqual(P(builtIn)));
  auto value = [](const CProp& prop) { return Text<P>(static_cast<const T&>(static_cast<const P&>(prop))); };
  EXPECT_EQ(value(entry->get(*grandchild, true, format)), Text<P>(other));
  EXPECT_EQ(value(entry->get(*grandchild, false, format)), Text<P>(builtIn));
  EXPECT_TRUE(entry->set(*child, P(builtIn), format));
  EXPECT_TRUE(entry->has(*child, format));
  EXPECT_EQ(Text<P>(ops.get(*grandchild, true)), Text<P>(builtIn));
  std::unique_ptr<CProp> stranger(foreign());
  EXPECT_FALSE(entry->set(*child, *stranger, format));
  EXPECT_EQ(Text<P>(ops.get(*child, false)), Text<P>(builtIn));
  entry->reset(*child, format);
  EXPECT_FALSE(ops.has(*child));
  std::unique_ptr<IPropOperator> erased(entry->createOperator(*child, format));
  EXPECT_TRUE(ops.isOwnOperator(erased.get()));
  EXPECT_EQ(erased->GetPropName(), name);
}

// The format a per-format row's operations are built with, set by the case
// that runs them (the operations are plain function pointers).
int gFormat = CCustomAccessor::UNDECORATED_FORMAT;

// Via is "Family::" for static families and "Family(gFormat)." for
// per-format ones; a misspelt accessor name does not compile.
#define ROW_OF(Via, Family, Accessor, Name, Class, Default, PerFormat)                          \
  Row{#Family, #Accessor, Name, #Class, Default, PerFormat, [](const Row& row, int format) {    \
        gFormat = format;                                                                       \
        using T = std::remove_cvref_t<decltype(Via Get##Accessor##DefaultValue())>;             \
        CheckProperty<Class, T>(                                                                \
            row, format, Ops<T>{                                                                \
                     [] { return CPropName(Via Accessor##PropName()); },                        \
                     []() -> const T& { return Via Get##Accessor##DefaultValue(); },            \
                     [](const CResItem& item, bool inherit) -> const T& {                       \
                       return Via Get##Accessor(item, inherit);                                 \
                     },                                                                         \
                     [](CResItem& item, const T& value) { Via Set##Accessor(item, value); },    \
                     [](const CResItem& item) { return Via Has##Accessor(item); },              \
                     [](CResItem& item) { Via Reset##Accessor(item); },                         \
                     [](CResItem& item) { return Via Create##Accessor##Operator(item); },       \
                     [](const IPropOperator* op) {                                              \
                       return dynamic_cast<const Family::C##Accessor##PropOperator*>(op) != nullptr; \
                     }});                                                                       \
      }},
#define ROW(Family, Accessor, Name, Class, Default) \
  ROW_OF(Family::, Family, Accessor, Name, Class, Default, false)
#define FORMAT_ROW(Family, Accessor, Name, Class, Default) \
  ROW_OF(Family(gFormat)., Family, Accessor, Name, Class, Default, true)

const Row kRows[] = {
#include "config/cfg_props_table.inc"
};

#undef ROW
#undef FORMAT_ROW
#undef ROW_OF

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const Row& row : kRows) {
    if (!row.perFormat) cases.push_back({&row, CCustomAccessor::UNDECORATED_FORMAT});
    else for (int format : kFormats) cases.push_back({&row, format});
  }
  return cases;
}

TEST_P(CfgTable, AccessorsFollowThePattern) { GetParam().row->check(*GetParam().row, GetParam().format); }

INSTANTIATE_TEST_SUITE_P(Catalogued, CfgTable, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           const Row& row = *info.param.row;
                           std::string name = std::string(row.family) + "_" + row.accessor;
                           std::replace(name.begin(), name.end(), ':', '_');  // Detail::...
                           if (row.perFormat) name += info.param.format < 0 ? "_undecorated" : "_" + std::to_string(info.param.format);
                           return name;
                         });

TEST(CfgCatalog, HoldsExactlyTheTabledProperties) {
  std::set<std::string> tabled, catalogued;
  for (const Row& row : kRows) tabled.insert(std::string(row.family) + "::" + row.accessor);
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    // Families declared by tests live in anonymous namespaces.
    if (entry->family.find("anonymous") != std::string_view::npos) continue;
    catalogued.insert(std::string(entry->family) + "::" + std::string(entry->accessor));
  }
  EXPECT_EQ(catalogued, tabled);
  EXPECT_EQ(CfgCatalog::Find("CPrjConfig", "Fuzzyupdate"), nullptr);
}

}  // namespace
