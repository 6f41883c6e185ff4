// config, project-langs, dbcfg and xmlcfg on the demo and example projects
// and on damaged project files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "locmodel/config/prj_config.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "support/temp_dir.h"
#include "support/text_checks.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

const std::string kCfgProject = LOCMODEL_SOURCE_DIR "/examples/cfg-project.lmp";

class ConfigCommands : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_EQ(RunTool({"demo", In("demo")}).status, 0);
    p_ = In("demo/sample.lmp");
  }
  std::string p_;
};

TEST_F(ConfigCommands, TheDemoProjectAnswersAsDocumented) {
  const std::string copy = ReadFile(p_);
  // F is the folder @Sources; its child inherits from it.
  ExpectRuns({
      {{"config", "get", p_, "FuzzyUpdate"}, 0, "90\n"},
      {{"config", "list", p_, "--item", "/0", "--json"}, 0,
       Holds("{\"name\":\"FuzzyUpdate\",\"accessor\":\"CPrjConfig::FuzzyUpdate\",\"class\":\"CIntProp\","
             "\"value\":80,\"source\":\"own\",\"from\":\"/0\"}")},
      {{"config", "list", p_, "--item", "/@Sources", "--json"}, 0, Starts("{\"item\":\"/0\",\"properties\":[")},
      {{"config", "list", p_, "--item", "/0/0", "--json"}, 0,
       Holds("\"value\":80,\"source\":\"inherited\",\"from\":\"/0\"")},
      {{"config", "set", p_, "Fuzzyupdate", "1"}, 1, "",
       "locmodel: unknown configuration property: Fuzzyupdate; did you mean FuzzyUpdate?\n"},
      {{"config", "set", p_, "FuzzyUpdate", "90"}, 0, "unchanged\n"},
      {{"config", "reset", p_, "FuzzyUpdate"}, 0, "unchanged\n"},
      {{"project-langs", p_, "--target", "0x0419"}, 1, {}, Holds("--target refused")},
  });
  EXPECT_EQ(ReadFile(p_), copy);

  const std::string langs = RunTool({"project-langs", p_, "--json"}).out;
  ExpectContains(langs, {"\"target\":{\"id\":1031,\"brand\":0,\"culture\":\"de-DE\"", "\"secondary\":null"});
  std::string ids;
  for (size_t at = langs.find("\"output\":"); (at = langs.find("{\"id\":", at)) != std::string::npos; ++at)
    ids += langs.substr(at + 6, langs.find(',', at) - at - 6) + " ";
  EXPECT_EQ(ids, "1031 1036 66567 66569 66572 ");
  ExpectRuns({
      {{"project-langs", p_, "--target", "0x10409"}, 0, Holds("target 66569 en-US Lite: ")},
      {{"config", "get", p_, "PrjLangs"}, 0,
       "{\"native\":1033,\"target\":66569,\"secondary\":7777,\"selected\":[1031,1036]}\n"},
  });
}

TEST_F(ConfigCommands, SelectorsNameItemsByPositionResourceIdAndItemId) {
  for (const char* selector : {"/0/0/0", "/@Sources/@main.rc/#101", "/0/@main.rc/0", "id:4294967397"})
    ExpectRuns({{{"config", "list", p_, "--item", selector, "--json"}, 0, Holds("\"item\":\"/0/0/0\"")}});
  for (const char* selector : {"/7", "/0/#101", "id:1", "/@Sources/@main.rc/#101/0/0"})
    ExpectRuns({{{"config", "get", p_, "FuzzyUpdate", "--item", selector}, 1, {},
                 "locmodel: " + p_ + ": no item " + selector + "\n"}});
  // Malformed selectors are ItemSelector's; here the tool's answer to one.
  ExpectRuns({
      {{"config", "get", p_, "FuzzyUpdate", "--item", "/0/"}, 2},
      {{"dump", p_}, 0, Holds("\n  item /0 type=2 resId=\"@Sources\"")},
  });
}

TEST_F(ConfigCommands, WritesKeepTheFormAndModeAndChangeOnlyWhatWasAsked) {
  const std::string gz = In("demo/sample.lmp.gz");
  ASSERT_EQ(chmod(gz.c_str(), 0640), 0);
  ExpectRuns({
      {{"config", "set", gz, "RunLocalizedCmd", "notepad.exe --x"}, 0, "stored\n"},
      {{"config", "get", gz, "RunLocalizedCmd", "--item", "/1/0"}, 0, "notepad.exe --x\n"},
      {{"config", "set", gz, "FuzzyUpdate", "0x5A", "--item", "/0"}, 0, "stored\n"},
      {{"config", "get", gz, "FuzzyUpdate", "--item", "/0/1"}, 0, "90\n"},
      {{"config", "reset", gz, "FuzzyUpdate", "--item", "/0"}, 0, "removed\n"},
      {{"config", "get", gz, "FuzzyUpdate", "--item", "/0/1"}, 0, "90\n"},
      {{"config", "reset", gz, "RunLocalizedCmd"}, 0, "removed\n"},
      {{"config", "reset", gz, "RunLocalizedCmd"}, 0, "unchanged\n"},
      {{"config", "set", gz, "#20000", "7", "--item", "/1"}, 0, "stored\n"},
      {{"config", "list", gz, "--item", "id:7"}, 0, Holds("#20000 = 7 (own)\n")},
  });
  EXPECT_EQ(ReadFile(gz).substr(0, 2), "\x1f\x8b");
  EXPECT_EQ(fs::status(gz).permissions() & fs::perms::all, fs::perms(0640));

  const std::string before = ReadFile(p_);
  ExpectRuns({
      {{"config", "set", p_, "FuzzyUpdate", "2147483648"}, 1, {},
       "locmodel: FuzzyUpdate: invalid value: out of range\n"},
      {{"config", "set", p_, "TgtLangs", "[]"}, 1},
      {{"config", "frob", p_}, 2},
      {{"config", "get", p_}, 2},
      {{"project-langs", p_, "--brand", "256"}, 2},
      {{"project-langs", p_, "--add", "xx-nowhere"}, 2},
      {{"project-langs", p_, "--select", "de-DE,fr-FR", "--secondary", "none"}, 0, "unchanged\n"},
      // Every change is applied in order; a refused one writes nothing.
      {{"project-langs", p_, "--select", "", "--add", "0x0419", "--secondary", "1049", "--target", "0x0411"}, 1},
  });
  EXPECT_EQ(ReadFile(p_), before);
  const std::string db = LOCMODEL_SOURCE_DIR "/tests/fixtures/sqlite2/empty.db";
  const Text readOnly = Holds("read-only here; 'locmodel convert'");
  ExpectRuns({
      {{"project-langs", p_, "--select", "", "--add", "0x0419", "--secondary", "ru-RU"}, 0,
       Holds("secondary 1049 ru-RU")},
      {{"config", "set", db, "FuzzyUpdate", "1"}, 1, {}, readOnly},
      {{"config", "reset", db, "FuzzyUpdate"}, 1, {}, readOnly},
      {{"project-langs", db, "--add", "1031"}, 1, {}, readOnly},
      {{"config", "list", db}, 1, {}, "locmodel: " + db + ": no item /\n"},
  });
}

TEST_F(ConfigCommands, FormatSettingsAnswerAsDocumented) {
  const std::string copy = ReadFile(p_);
  const std::string mapping = R"([{"srcTypeMask":"TButton","show":true,"controlType":"Button"}])";
  ExpectRuns({
      {{"config", "get", p_, "MFC.SingleLang.OutFile"}, 0, "$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)\n"},
      {{"config", "get", p_, "NetRes.PropFilter"}, 0,
       "{\"include\":[\"*\"],\"exclude\":[\"*AsString\",\"*Category\",\"*Name\",\"Value\"]}\n"},
      {{"config", "get", p_, "NetRes.OutMisc"}, 0, "\n"},
      {{"config", "set", p_, "MFC.OutputType", "0"}, 0, "unchanged\n"},
      {{"config", "get", p_, "99999999999.XML.XPath"}, 1},
      {{"config", "get", p_, "12.NoSuch"}, 1},
      {{"config", "get", p_, "012.XML.XPath"}, 1},
      {{"config", "get", p_, "XML.XPath", "--format", "3"}, 2},
      {{"config", "list", p_, "--format", "x"}, 2},
  });
  EXPECT_EQ(ReadFile(p_), copy);

  ExpectRuns({
      {{"config", "set", p_, "MFC.OutputType", "1", "--item", "/0"}, 0, "stored\n"},
      {{"config", "set", p_, "12.XML.XPath", "//text"}, 0, "stored\n"},
      {{"config", "get", p_, "12.XML.XPath"}, 0, "//text\n"},
      {{"config", "get", p_, "XML.XPath"}, 0, "\n"},
      {{"config", "set", p_, "Dfm.ControlMapping", mapping}, 0, "stored\n"},
      {{"config", "get", p_, "Dfm.ControlMapping"}, 0, mapping + "\n"},
      {{"config", "set", p_, "NetRes.OutMisc", "secret"}, 0, "stored\n"},
      {{"config", "get", p_, "NetRes.OutMisc"}, 0, "secret\n"},
      {{"config", "list", p_, "--item", "/0/0", "--json"}, 0,
       Holds(R"({"name":"MFC.OutputType","accessor":"CPEFormatCfg::OutputType","class":"CIntProp",)"
             R"("value":1,"source":"inherited","from":"/0"})")},
  });
  const std::string json = RunTool({"config", "list", p_, "--json", "--format", "7", "--format", "-1"}).out;
  ExpectContains(json, {R"({"name":"12.XML.XPath","accessor":"CXmlParserCfg(12)::XPathTemplate",)"
                        R"("class":"CStrProp","value":"//text","source":"own","from":"/"})",
                        R"("accessor":"CXmlParserCfg(7)::Autodetect")", R"("accessor":"CXmlParserCfg::Autodetect")"});
  size_t at12 = 0;
  for (size_t at = json.find("\"CXmlParserCfg(12)::"); at != std::string::npos; at = json.find("\"CXmlParserCfg(12)::", at + 1))
    ++at12;
  EXPECT_EQ(at12, 14u);
  const std::string text = RunTool({"config", "list", p_}).out;
  ExpectContains(text, {"NetRes.OutMisc = (set) (own)"});
  EXPECT_EQ(text.find("secret"), std::string::npos);
}

TEST_F(ConfigCommands, DbcfgAndXmlcfgOutsideTheDefaultsAndTheirRefusals) {
  const std::string bare = In("bare.lmp");
  ASSERT_EQ(RunTool({"convert", kCfgProject, bare}).status, 0);
  ASSERT_EQ(RunTool({"project-langs", bare, "--select", ""}).status, 0);
  ExpectRuns({
      // Languages in the order given, by culture name too.
      {{"dbcfg", "expand", kCfgProject, "--item", "/0", "--lang", "fr-FR", "--lang", "0x407"}, 0,
       Holds("table UiStrings scheme 1 keys StringId, Lang (group)\n"
             "  1036 Lang=fr fields Text, Tooltip\n  1031 Lang=1031 fields Text, Tooltip\n")},
      // Undecorated, the XML item's format-12 settings are not seen.
      {{"xmlcfg", "show", kCfgProject, "--format", "-1", "--item", "/1"}, 0, Holds("XML.XPath = \"//*\" (from /1)\n")},
      {{"xmlcfg", "show", kCfgProject, "--format", "-1", "--item", "/1"}, 0,
       Holds("XML.Autodetect = true (default)\n")},
      {{"dbcfg", "expand", bare, "--item", "/0", "--json"}, 1, "",
       "locmodel: " + bare + ": no output languages at /0; give --lang\n"},
      {{"dbcfg", "expand", kCfgProject, "--item", "/9"}, 1, {}, "locmodel: " + kCfgProject + ": no item /9\n"},
      {{"dbcfg", "expand", kCfgProject, "--lang", "xx-NOPE"}, 2, {}, Starts("locmodel: bad language 'xx-NOPE'\n")},
      {{"dbcfg", "list", kCfgProject}, 2, {}, Starts("locmodel: unknown subcommand 'list'\n")},
      {{"xmlcfg", "show", kCfgProject}, 2, {}, Starts("locmodel: --format is required\n")},
      {{"xmlcfg", "show", kCfgProject, "--format", "x"}, 2, {}, Starts("locmodel: bad format number 'x'\n")},
  });
}

// Project files a hostile or broken writer could produce.
class DamagedProjects : public TempDirTest {
 protected:
  std::string Save(const std::string& name, const std::function<void(CResItem& root, CResItem& child)>& fill) {
    CResItem root;
    auto* child = new CResItem;
    child->SetResId(u"@child");
    root.AddResItem(child);
    fill(root, *child);
    EXPECT_TRUE(locmodel::SaveProject(root, Path(name)).ok());
    return In(name);
  }
};

TEST_F(DamagedProjects, EachGivesItsDocumentedOutputAndStatus) {
  const std::string wrong = Save("wrong.lmp", [](CResItem& root, CResItem& child) {
    for (const char16_t* name : {u"FuzzyUpdate", u"PrjLangs", u"BrandMap"})
      root.GetCfgProps().SetPropW(name, new CStrProp(u"x"));
    child.GetCfgProps().SetPropW(u"Extra", new CIntSetProp({2, 1}));
  });
  // Read as stored, never repaired: the output follows the algorithm.
  const std::string odd = Save("odd.lmp", [](CResItem& root, CResItem&) {
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 0x0419, 255 << 16 | 1033,
                                                         {1033, 7777, 77777777, -5, 0x01FF0407}));
    CPrjConfig::SetBrandMap(root, {{0x100, u"Wide"}, {0x7FFFFFFF, u"Last"}});
  });
  const std::string empty = Save("empty.lmp", [](CResItem& root, CResItem&) {
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, {1031}));
    root.GetCfgProps().SetPropW(u"BrandMap", new CIntStrMapProp(CIntStrMap{}));
  });
  const std::string huge = Save("huge.lmp", [](CResItem& root, CResItem&) {
    CIntStrMap brands;
    for (int key = 0; key < 5000; ++key) brands[key] = u"b";
    CPrjConfig::SetBrandMap(root, brands);
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, {1031}));
  });
  const std::string bomb = Save("bomb.lmp", [](CResItem& root, CResItem&) {
    CLangSet selected;
    for (int part = 0; part < 65536; ++part) selected.insert(part);
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, selected));
    CIntStrMap brands;
    for (int key = 0; key < 256; ++key) brands[key] = u"b";
    CPrjConfig::SetBrandMap(root, brands);
  });
  ExpectRuns({
      {{"config", "list", wrong, "--item", "/0", "--json"}, 0,
       Holds("{\"name\":\"FuzzyUpdate\",\"accessor\":\"CPrjConfig::FuzzyUpdate\",\"class\":\"CIntProp\","
             "\"value\":90,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}")},
      {{"config", "list", wrong, "--item", "/0", "--json"}, 0,
       Holds("{\"name\":\"Extra\",\"accessor\":null,\"class\":\"CIntSetProp\",\"value\":[1,2],"
             "\"source\":\"own\",\"from\":\"/0\"}")},
      {{"config", "get", wrong, "BrandMap"}, 0, "[[0,\"SourceBrand\"]]\n",
       "locmodel: warning: BrandMap at / holds a CStrProp, not a CIntStrMapProp; the default is shown\n"},
      {{"project-langs", wrong, "--json"}, 0,
       "{\"item\":\"/\",\"native\":null,\"target\":null,\"secondary\":null,\"selected\":[],"
       "\"brands\":[{\"brand\":0,\"name\":\"SourceBrand\"}],\"output\":[]}\n",
       Holds("PrjLangs at / holds a CStrProp")},
      {{"project-langs", odd, "--brand", "255"}, 0, Holds("brands 256 Wide, 2147483647 Last\n")},
      {{"project-langs", odd, "--brand", "7", "--json"}, 0, Holds("\"output\":[]}\n")},
      {{"project-langs", empty, "--json"}, 0, Holds("\"brands\":[],\"output\":[]}")},
      // 2 parts x 256 brand bytes
      {{"project-langs", huge, "--json"}, 0,
       Holds("{\"id\":16712711,\"brand\":255,\"culture\":\"de-DE\",\"name\":\"b: German - Germany\"")},
      {{"project-langs", bomb}, 1, "", "locmodel: " + bomb + ": too many output languages (16777216)\n"},
      {{"project-langs", bomb, "--brand", "3"}, 0},  // 65536 x 1
      {{"config", "list", bomb}, 0},
  });
}

// The damaged configuration files of the project-file seeds
// (fuzz/seeds/make_project_seeds.cpp), listed at /0: names that only look
// decorated are undeclared, values of another class are invalid, and damaged
// optional fields of a control mapping keep their defaults.
TEST(DamagedCfgCorpus, ListsUndeclaredAndInvalidEntriesAsDocumented) {
  const std::string dir = LOCMODEL_SOURCE_DIR "/fuzz/corpus/project_file/";
  const auto undeclared = [](const char* name) {
    return Holds(std::string("{\"name\":\"") + name + "\",\"accessor\":null,\"class\":\"CStrProp\"");
  };
  const auto list = [&](const char* file) {
    return std::vector<std::string>{"config", "list", dir + file, "--item", "/0", "--json"};
  };
  const auto names = list("cfg-undeclared-names"), foreign = list("cfg-foreign-classes");
  ExpectRuns({
      {names, 0, undeclared("99999999999.XML.XPath")},
      {names, 0, undeclared("4294967308.XML.XPath")},  // not format 12 wrapped around
      {names, 0, undeclared("12.NoSuch")},
      {names, 0, undeclared("-1.XML.XPath")},
      {names, 0, undeclared("012.XML.XPath")},
      {names, 0, undeclared("+12.XML.XPath")},
      {names, 0, undeclared("12.xml.xpath")},
      {names, 0,
       Holds("{\"name\":\"-2147483648.XML.XPath\",\"accessor\":\"CXmlParserCfg(-2147483648)::XPathTemplate\","
             "\"class\":\"CStrProp\",\"value\":\"//lowest\",\"source\":\"inherited\",\"from\":\"/\"}")},
      {names, 0,
       Holds("{\"name\":\"12.XML.ParseComments\",\"accessor\":\"CXmlParserCfg(12)::ParseComments\",\"class\":"
             "\"CBoolProp\",\"value\":false,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}")},
      {foreign, 0, Holds("\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}")},  // NetRes.PropFilter
      {foreign, 0,
       Holds("{\"name\":\"ShowPreview\",\"accessor\":\"CCommonPreviewCfg::ShowPreview\",\"class\":\"CBoolProp\","
             "\"value\":true,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CFilterProp\"}")},
      {foreign, 0, Holds("\"value\":[],\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CControlMappingProp\"}")},
      {foreign, 0, Holds("\"value\":[],\"source\":\"invalid\",\"from\":\"/0\",\"storedClass\":\"CIntProp\"}")},
      {foreign, 0, Holds("\"value\":[],\"source\":\"invalid\",\"from\":\"/0\",\"storedClass\":\"CFilterProp\"}")},
      {list("cfg-mapping-widths"), 0,
       Holds("\"value\":[{\"srcTypeMask\":\"TFirst\",\"show\":true,\"controlType\":\"Button\"},{\"srcTypeMask\":"
             "\"TWide\",\"show\":false,\"controlType\":\"\"},{\"srcTypeMask\":\"TEmpty\",\"show\":false,"
             "\"controlType\":\"\"}]")},
      {{"config", "list", dir + "cfg-unreadable-without-mask"}, 1, {}, Holds("malformed project file")},
  });
}

}  // namespace
