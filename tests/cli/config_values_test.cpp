// The text forms of `config get`/`set` and the item selectors: printing and
// reading back give the same value, and malformed text is refused.
#include <gtest/gtest.h>

#include <memory>

#include "cli/item_selector.h"
#include "cli/value_text.h"
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/control_mapping.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/segm/segm_util.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using namespace locmodel::cli;
using namespace testing_support;

// A table of each scheme, both carrying the other scheme's settings too.
CDBTablesCfg DBTables() {
  CDBTablesCfg tables(2);
  tables[0].TableName = u"P";
  tables[0].KeyFields = {{u"Id", false}, {u"Lang", true}};
  tables[0].SROFCfg.TransFields.resize(1);
  tables[0].SROFCfg.TransFields[0].NameByLang = {{1036, u"fr"}};
  tables[1].SchemeId = CDBTableCfg::LANG_ID_SCHEME;
  tables[1].LangIdSchemeCfg.LangIdValueMap = {{1031, u"de"}};
  tables[1].WhereCond = u"x = 'y'";
  return tables;
}
CEncodingCfg Encodings() {
  CEncodingCfg cfg(CEncoding(65001));
  cfg.EncodingByLang = {{1031, CEncoding::SelectAnsiByLang}, {1036, CEncoding(u"ISO-8859-1")}};
  return cfg;
}

// Two values of every class that has a text form but the SRX store (whose
// SRX document drops the cascade flag; see SrxStoresComeFromFiles).
std::vector<std::shared_ptr<CProp>> Samples() {
  return {
      std::make_shared<CEmptyProp>(),
      std::make_shared<CStrProp>(u"line\r\n\"quoted\" \\ caf\u00e9 \U0001F600 \t"),
      std::make_shared<CStrProp>(u""),
      std::make_shared<CBinaryProp>(std::vector<unsigned char>{0x00, 0xFF, 0x7F}),
      std::make_shared<CIntProp>(INT32_MIN),
      std::make_shared<CIntProp>(INT32_MAX),
      std::make_shared<CBoolProp>(false),
      std::make_shared<CBoolProp>(true),
      std::make_shared<CEmbeddedCfgProp>(CEmbeddedCfg{CEmbeddedCfg::Resource, -7, 0}),
      std::make_shared<CItemIdProp>(~0ull),
      std::make_shared<CItemIdProp>(12),
      std::make_shared<CIntVectorProp>(std::vector<int>{3, -1, 3}),
      std::make_shared<CStrSetProp>(std::set<std::u16string>{u"", u"a,b", u"]"}),
      std::make_shared<CStrListProp>(std::vector<std::u16string>{u"x", u"x", u"\u0001"}),
      std::make_shared<CIntStrMapProp>(CIntStrMap{{-1, u"minus"}, {0, u"SourceBrand"}}),
      std::make_shared<CIntStrMapProp>(CIntStrMap{}),
      std::make_shared<CIntSetProp>(CIntSet{-5, 9}),
      std::make_shared<CVariantProp>(VARIANT::FromText(u"Segoe \"UI\"")),
      std::make_shared<CVariantProp>(VARIANT::FromInt32(-2)),
      std::make_shared<CLangSetProp>(CLangSet{1031, 0x01FF0407}),
      std::make_shared<CLangSetProp>(CLangSet{}),
      std::make_shared<CConditionFilterCfgProp>(
          CConditionFilterCfg{{u"ID1", u"T\u00eftle", u"LANG = \"de\""}, {u"", u"", u""}}),
      std::make_shared<CPrjLangsProp>(CPrjLangs::FromStored(1033, 0x0419, 7777, {1033, -5, 77777777})),
      std::make_shared<CPrjLangsProp>(CPrjLangs(0x0409)),
      std::make_shared<CDBTablesCfgProp>(DBTables()),
      std::make_shared<CDBTablesCfgProp>(CDBTablesCfg{}),
      std::make_shared<CEncodingCfgProp>(CEncodingCfg()),
      std::make_shared<CEncodingCfgProp>(Encodings()),
      std::make_shared<CFilterProp>(CFilter({u"*", u"Text?"}, {u"Id"})),
      std::make_shared<CFilterProp>(CFilter()),
      std::make_shared<CXmlNamespacesCfgProp>(CXmlNamespacesCfg{{u"a", u"urn:\"a\""}, {u"a", u""}}),
      std::make_shared<CXmlNamespacesCfgProp>(CXmlNamespacesCfg{}),
      std::make_shared<CXPathMappingListProp>(CXPathMappingList{{u"//a", 12}, {u"", -1}}),
      std::make_shared<CXPathMappingListProp>(CXPathMappingList{}),
      std::make_shared<CControlMappingProp>(CControlMappingList{{u"T\"B", u"Button"}, CControlTypeMapping()}),
      std::make_shared<CControlMappingProp>(CControlMappingList{}),
  };
}

TEST(ConfigValues, PrintedValuesParseBackEqualAndSetStoresExactlyThem) {
  const auto samples = Samples();
  for (const auto& sample : samples) {
    std::string text, reason;
    ASSERT_TRUE(AppendValueText(text, *sample)) << sample->GetClass().GetTypeName();
    const auto parsed = ParseValueText(sample->GetClass(), text, reason);
    ASSERT_NE(parsed, nullptr) << text << ": " << reason;
    EXPECT_TRUE(parsed->IsEqual(*sample)) << text;
  }
  // Every catalogued class: a child that inherits one sample is given the
  // other through the catalog, and holds exactly it.
  for (const locmodel::CfgPropEntry* entry : locmodel::CfgCatalog::Entries()) {
    if (entry->valueClass == &CSRXStoreProp::classInstance) continue;
    std::vector<const CProp*> ofClass;
    for (const auto& sample : samples)
      if (&sample->GetClass() == entry->valueClass) ofClass.push_back(sample.get());
    ASSERT_EQ(ofClass.size(), 2u) << entry->valueClass->GetTypeName();
    CResItem root;
    auto* child = new CResItem;
    root.AddResItem(child);
    root.GetCfgProps().SetPropW(entry->name(-1), ofClass[0]->Clone());
    std::string text, reason;
    AppendValueText(text, *ofClass[1]);
    ASSERT_TRUE(entry->set(*child, *ParseValueText(*entry->valueClass, text, reason), -1));
    const CProp* own = child->GetCfgProps().GetPropW(entry->name(-1));
    ASSERT_NE(own, nullptr) << entry->accessor;
    EXPECT_TRUE(own->IsEqual(*ofClass[1])) << entry->accessor;
  }
}

TEST(ConfigValues, ScalarFormsAndRefusals) {
  struct Case {
    const CPropClass& valueClass;
    std::string text, result;  // the printed form, or "refused: " and the reason
  };
  const Case cases[] = {
      {CBoolProp::classInstance, "1", "true"},
      {CBoolProp::classInstance, "0", "false"},
      {CBoolProp::classInstance, "yes", "refused: expected true, false, 1 or 0"},
      {CIntProp::classInstance, "0x7FFFFFFF", "2147483647"},
      {CIntProp::classInstance, "0xFFFFFFFF", "-1"},
      {CIntProp::classInstance, "-2147483648", "-2147483648"},
      {CIntProp::classInstance, "2147483648", "refused: out of range"},
      {CIntProp::classInstance, "0x100000000", "refused: out of range"},
      {CIntProp::classInstance, "-0x1", "refused: not an integer"},
      {CIntProp::classInstance, " 1", "refused: not an integer"},
      {CItemIdProp::classInstance, "0xFFFFFFFFFFFFFFFF", "18446744073709551615"},
      {CItemIdProp::classInstance, "18446744073709551616", "refused: not an integer"},
      {CItemIdProp::classInstance, "-1", "refused: out of range"},
      {CStrProp::classInstance, "", ""},
      {CIntStrMapProp::classInstance, " [ [1 , \"\\u00e9\\/\"] ] ", "[[1,\"\u00e9/\"]]"},
      {CIntStrMapProp::classInstance, "[[1,\"a\"],[1,\"b\"]]", "refused: repeated key"},
      {CIntSetProp::classInstance, "[1,1]", "refused: repeated element"},
      {CIntVectorProp::classInstance, "[01]", "refused: malformed JSON at offset 3"},
      {CIntVectorProp::classInstance, "[1.5]", "refused: malformed JSON at offset 2"},
      {CIntVectorProp::classInstance, "[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]", "refused: malformed JSON at offset 17"},
      {CBinaryProp::classInstance, "\"abc\"", "refused: expected a hex string"},
      {CPrjLangsProp::classInstance, "{\"native\":1,\"target\":2,\"secondary\":3}",
       "refused: expected an object with 4 members"},
      {CPrjLangsProp::classInstance, "{\"native\":1,\"target\":2,\"secondary\":3,\"native\":4}",
       "refused: missing member \"selected\""},
      {CVariantProp::classInstance, "{\"vt\":3,\"raw\":\"08000000000000000000000000000000\",\"text\":null}",
       "refused: \"vt\" and \"text\" must agree with \"raw\""},
      {CSRXStoreProp::classInstance, "rules.srx", "refused: expected @FILE, an SRX file"},
      {CDBTablesCfgProp::classInstance,
       R"([{"name":"T","scheme":2,"keyFields":[],"srof":[],"langId":{"field":"","template":"","map":[],"fields":[]},"where":""}])",
       "refused: \"scheme\" must be 0 or 1"},
      {CEncodingCfgProp::classInstance, R"({"default":{"codepage":1252,"name":"x"},"byLang":[]})",
       "refused: an encoding has a name only with code page -3"},
      {CFilterProp::classInstance, R"({"include":["id","ID"],"exclude":[]})", "refused: repeated element"},
      {CXPathMappingListProp::classInstance, R"([{"xpath":"//a"}])", "refused: expected an object with 2 members"},
  };
  for (const Case& c : cases) {
    std::string reason, printed;
    const auto value = ParseValueText(c.valueClass, c.text, reason);
    if (value) AppendValueText(printed, *value);
    else printed.append("refused: ").append(reason);
    EXPECT_EQ(printed, c.result) << c.text;
  }
}

TEST(ConfigValues, NamesPrintSoThatFromStringReadsThemBack) {
  const std::pair<CPropName, const char*> cases[] = {
      {CPropName(u"FuzzyUpdate"), "FuzzyUpdate"}, {CPropName(u""), "@"},
      {CPropName(u"#1"), "@#1"},                  {CPropName(u"@x"), "@@x"},
      {CPropName(CPropName::PROP_ITEM_ID), "#20000"}, {CPropName(u"a@#"), "a@#"},
  };
  for (const auto& [name, text] : cases) {
    EXPECT_EQ(PropNameText(name), text);
    EXPECT_EQ(ParsePropName(text), name) << text;
  }
}

TEST(ConfigValues, SelectorsFormatCanonicallyAndParseBack) {
  const std::pair<const char*, const char*> cases[] = {
      {"/", "/"},
      {"/2/0", "/2/0"},
      {"/@a%2fb/%25%2F", "/@a%2Fb/%25%2F"},
      {"/#101/007", "/#101/7"},
      {"id:18446744073709551615", "id:18446744073709551615"},
      {"/caf\xc3\xa9", "/caf\xc3\xa9"},
  };
  for (const auto& [text, canonical] : cases) {
    const auto selector = ParseItemSelector(text);
    ASSERT_TRUE(selector) << text;
    EXPECT_EQ(FormatItemSelector(*selector), canonical);
    EXPECT_EQ(ParseItemSelector(canonical), selector);
  }
  for (const char* text : {"", "2", "/2/", "//", "/%", "/%2", "/a%2", "/%20", "/%2F%2F%31", "/%31", "/%41", "id:", "id:x",
                           "id:-1", "id:18446744073709551616", "/99999999999999999999999"})
    EXPECT_FALSE(ParseItemSelector(text)) << text;
  // An id made only of digits or empty is reached by position.
  CResItem root;
  for (const char16_t* id : {u"12", u"", u"a/b"}) {
    auto* child = new CResItem;
    child->SetResId(id);
    root.AddResItem(child);
  }
  EXPECT_EQ(FindItem(root, *ParseItemSelector("/a%2Fb")), root.GetResItems()[2]);
  EXPECT_EQ(locmodel::PositionPath(*root.GetResItems()[2]), "/2");
  EXPECT_EQ(locmodel::PositionPath(root), "/");
}

class SrxValues : public TempDirTest {};

TEST_F(SrxValues, SrxStoresComeFromFiles) {
  WriteFile(In("rules.srx"), std::string(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<srx xmlns=\"http://www.lisa.org/srx20\" version=\"2.0\"><header cascade=\"no\"/><body>\n"
      "<languagerules><languagerule languagerulename=\"Default\">\n"
      "<rule break=\"no\"><beforebreak>Mr\\.</beforebreak><afterbreak>\\s</afterbreak></rule>\n"
      "<rule><beforebreak>[.?!]</beforebreak><afterbreak>\\s</afterbreak></rule>\n"
      "</languagerule></languagerules>\n"
      "<maprules><languagemap languagepattern=\"de.*\" languagerulename=\"Default\"/>\n"
      "<languagemap languagepattern=\".*\" languagerulename=\"Default\"/></maprules></body></srx>\n"));
  CResItem root;
  ASSERT_TRUE(locmodel::SaveProject(root, Path("p.lmp")).ok());
  const ToolRun set = RunTool({"config", "set", In("p.lmp"), "Segm.SRXStore", "@" + In("rules.srx")});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(RunTool({"config", "set", In("p.lmp"), "Segm.SRXStore", "@" + In("rules.srx")}).out, "unchanged\n");

  CSRXStore expected;
  ASSERT_TRUE(expected.Load(Path("rules.srx")));
  std::unique_ptr<CResItem> loaded;
  ASSERT_TRUE(locmodel::LoadProject(Path("p.lmp"), loaded).ok());
  EXPECT_EQ(CSegmCfg::GetSRXStore(*loaded, false), expected);
  EXPECT_EQ(expected.GetRulesLangMap().size(), 2u);
  EXPECT_EQ(RunTool({"config", "get", In("p.lmp"), "Segm.SRXStore"}).out, expected.ToSRX() + "\n");
  const ToolRun missing = RunTool({"config", "set", In("p.lmp"), "Segm.SRXStore", "@" + In("none.srx")});
  EXPECT_EQ(std::tuple(missing.status, missing.err),
            std::tuple(1, "locmodel: Segm.SRXStore: invalid value: cannot load SRX file " + In("none.srx") + "\n"));
}

}  // namespace
