// config and project-langs on the demo project and on a corpus of damaged
// project files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "locmodel/config/prj_config.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

class ConfigCommands : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_EQ(RunTool({"demo", In("demo")}).status, 0);
    p_ = In("demo/sample.lmp");
  }
  // Runs the tool and checks its exit status.
  std::string Out(const std::vector<std::string>& args, int status = 0) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, status) << run.err;
    return run.out;
  }
  std::string p_;
};

TEST_F(ConfigCommands, TheDemoProjectAnswersAsDocumented) {
  const std::string copy = ReadFile(p_);
  EXPECT_EQ(Out({"config", "get", p_, "FuzzyUpdate"}), "90\n");
  // F is the folder @Sources; its child inherits from it.
  for (const char* folder : {"/0", "/@Sources"}) {
    const std::string list = Out({"config", "list", p_, "--item", folder, "--json"});
    EXPECT_EQ(list.rfind("{\"item\":\"/0\",\"properties\":[", 0), 0u);
    EXPECT_NE(list.find("{\"name\":\"FuzzyUpdate\",\"accessor\":\"CPrjConfig::FuzzyUpdate\",\"class\":\"CIntProp\","
                        "\"value\":80,\"source\":\"own\",\"from\":\"/0\"}"),
              std::string::npos);
  }
  EXPECT_NE(Out({"config", "list", p_, "--item", "/0/0", "--json"})
                .find("\"value\":80,\"source\":\"inherited\",\"from\":\"/0\""),
            std::string::npos);
  const ToolRun wrongCase = RunTool({"config", "set", p_, "Fuzzyupdate", "1"});
  EXPECT_EQ(std::tuple(wrongCase.status, wrongCase.err),
            std::tuple(1, "locmodel: unknown configuration property: Fuzzyupdate; did you mean FuzzyUpdate?\n"));
  EXPECT_EQ(Out({"config", "set", p_, "FuzzyUpdate", "90"}), "unchanged\n");
  EXPECT_EQ(Out({"config", "reset", p_, "FuzzyUpdate"}), "unchanged\n");
  EXPECT_EQ(ReadFile(p_), copy);

  const std::string langs = Out({"project-langs", p_, "--json"});
  EXPECT_NE(langs.find("\"target\":{\"id\":1031,\"brand\":0,\"culture\":\"de-DE\""), std::string::npos) << langs;
  EXPECT_NE(langs.find("\"secondary\":null"), std::string::npos);
  std::string ids;
  for (size_t at = langs.find("\"output\":"); (at = langs.find("{\"id\":", at)) != std::string::npos; ++at)
    ids += langs.substr(at + 6, langs.find(',', at) - at - 6) + " ";
  EXPECT_EQ(ids, "1031 1036 66567 66569 66572 ");
  const ToolRun refused = RunTool({"project-langs", p_, "--target", "0x0419"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("--target refused"), std::string::npos);
  EXPECT_EQ(ReadFile(p_), copy);
  EXPECT_NE(Out({"project-langs", p_, "--target", "0x10409"}).find("target 66569 en-US Lite: "), std::string::npos);
  EXPECT_EQ(Out({"config", "get", p_, "PrjLangs"}),
            "{\"native\":1033,\"target\":66569,\"secondary\":7777,\"selected\":[1031,1036]}\n");
}

TEST_F(ConfigCommands, SelectorsNameItemsByPositionResourceIdAndItemId) {
  const std::string dialog = "\"item\":\"/0/0/0\"";
  for (const char* selector : {"/0/0/0", "/@Sources/@main.rc/#101", "/0/@main.rc/0", "id:4294967397"})
    EXPECT_NE(Out({"config", "list", p_, "--item", selector, "--json"}).find(dialog), std::string::npos) << selector;
  for (const char* selector : {"/7", "/0/#101", "id:1", "/@Sources/@main.rc/#101/0/0"}) {
    const ToolRun run = RunTool({"config", "get", p_, "FuzzyUpdate", "--item", selector});
    EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(1, "locmodel: " + p_ + ": no item " + selector + "\n"));
  }
  for (const char* selector : {"", "0", "//", "/0/", "/a%2", "/%41", "id:", "id:x", "/99999999999999999999999"})
    EXPECT_EQ(RunTool({"config", "get", p_, "FuzzyUpdate", "--item", selector}).status, 2) << selector;
  EXPECT_NE(Out({"dump", p_}).find("\n  item /0 type=2 resId=\"@Sources\""), std::string::npos);
}

TEST_F(ConfigCommands, WritesKeepTheFormAndModeAndChangeOnlyWhatWasAsked) {
  const std::string gz = In("demo/sample.lmp.gz");
  ASSERT_EQ(chmod(gz.c_str(), 0640), 0);
  EXPECT_EQ(Out({"config", "set", gz, "RunLocalizedCmd", "notepad.exe --x"}), "stored\n");
  EXPECT_EQ(ReadFile(gz).substr(0, 2), "\x1f\x8b");
  EXPECT_EQ(fs::status(gz).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(Out({"config", "get", gz, "RunLocalizedCmd", "--item", "/1/0"}), "notepad.exe --x\n");
  EXPECT_EQ(Out({"config", "set", gz, "FuzzyUpdate", "0x5A", "--item", "/0"}), "stored\n");
  EXPECT_EQ(Out({"config", "get", gz, "FuzzyUpdate", "--item", "/0/1"}), "90\n");
  EXPECT_EQ(Out({"config", "reset", gz, "FuzzyUpdate", "--item", "/0"}), "removed\n");
  EXPECT_EQ(Out({"config", "get", gz, "FuzzyUpdate", "--item", "/0/1"}), "90\n");
  EXPECT_EQ(Out({"config", "reset", gz, "RunLocalizedCmd"}), "removed\n");
  EXPECT_EQ(Out({"config", "reset", gz, "RunLocalizedCmd"}), "unchanged\n");
  EXPECT_EQ(Out({"config", "set", gz, "#20000", "7", "--item", "/1"}), "stored\n");
  EXPECT_NE(Out({"config", "list", gz, "--item", "id:7"}).find("#20000 = 7 (own)\n"), std::string::npos);

  const ToolRun bad = RunTool({"config", "set", p_, "FuzzyUpdate", "2147483648"});
  EXPECT_EQ(std::tuple(bad.status, bad.err), std::tuple(1, "locmodel: FuzzyUpdate: invalid value: out of range\n"));
  EXPECT_EQ(RunTool({"config", "set", p_, "TgtLangs", "[]"}).status, 1);
  EXPECT_EQ(RunTool({"config", "frob", p_}).status, 2);
  EXPECT_EQ(RunTool({"config", "get", p_}).status, 2);
  EXPECT_EQ(RunTool({"project-langs", p_, "--brand", "256"}).status, 2);
  EXPECT_EQ(RunTool({"project-langs", p_, "--add", "xx-nowhere"}).status, 2);
  EXPECT_EQ(Out({"project-langs", p_, "--select", "de-DE,fr-FR", "--secondary", "none"}), "unchanged\n");
  // Every change is applied in order; a refused one writes nothing.
  const std::string before = ReadFile(p_);
  EXPECT_EQ(RunTool({"project-langs", p_, "--select", "", "--add", "0x0419", "--secondary", "1049", "--target",
                     "0x0411"}).status,
            1);
  EXPECT_EQ(ReadFile(p_), before);
  EXPECT_NE(Out({"project-langs", p_, "--select", "", "--add", "0x0419", "--secondary", "ru-RU"})
                .find("secondary 1049 ru-RU"),
            std::string::npos);

  const std::string db = fs::path(LOCMODEL_SOURCE_DIR) / "tests/fixtures/sqlite2/empty.db";
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"config", "set", db, "FuzzyUpdate", "1"}, {"config", "reset", db, "FuzzyUpdate"},
        {"project-langs", db, "--add", "1031"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("read-only here; 'locmodel convert'"), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunTool({"config", "list", db}).err, "locmodel: " + db + ": no item /\n");
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
  const ToolRun list = RunTool({"config", "list", wrong, "--item", "/0", "--json"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("{\"name\":\"FuzzyUpdate\",\"accessor\":\"CPrjConfig::FuzzyUpdate\",\"class\":\"CIntProp\","
                          "\"value\":90,\"source\":\"invalid\",\"from\":\"/\",\"storedClass\":\"CStrProp\"}"),
            std::string::npos);
  EXPECT_NE(list.out.find("{\"name\":\"Extra\",\"accessor\":null,\"class\":\"CIntSetProp\",\"value\":[1,2],"
                          "\"source\":\"own\",\"from\":\"/0\"}"),
            std::string::npos);
  const ToolRun get = RunTool({"config", "get", wrong, "BrandMap"});
  EXPECT_EQ(get.out, "[[0,\"SourceBrand\"]]\n");
  EXPECT_EQ(get.err, "locmodel: warning: BrandMap at / holds a CStrProp, not a CIntStrMapProp; the default is shown\n");
  const ToolRun langs = RunTool({"project-langs", wrong, "--json"});
  EXPECT_EQ(langs.status, 0);
  EXPECT_EQ(langs.out, "{\"item\":\"/\",\"native\":null,\"target\":null,\"secondary\":null,\"selected\":[],"
                       "\"brands\":[{\"brand\":0,\"name\":\"SourceBrand\"}],\"output\":[]}\n");
  EXPECT_NE(langs.err.find("PrjLangs at / holds a CStrProp"), std::string::npos);

  // Read as stored, never repaired: the output follows the algorithm.
  const std::string odd = Save("odd.lmp", [](CResItem& root, CResItem&) {
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 0x0419, 255 << 16 | 1033,
                                                         {1033, 7777, 77777777, -5, 0x01FF0407}));
    CPrjConfig::SetBrandMap(root, {{0x100, u"Wide"}, {0x7FFFFFFF, u"Last"}});
  });
  const ToolRun oddRun = RunTool({"project-langs", odd, "--brand", "255"});
  EXPECT_EQ(oddRun.status, 0) << oddRun.err;
  EXPECT_NE(oddRun.out.find("brands 256 Wide, 2147483647 Last\n"), std::string::npos) << oddRun.out;
  EXPECT_NE(RunTool({"project-langs", odd, "--brand", "7", "--json"}).out.find("\"output\":[]}\n"),
            std::string::npos);

  const std::string empty = Save("empty.lmp", [](CResItem& root, CResItem&) {
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, {1031}));
    root.GetCfgProps().SetPropW(u"BrandMap", new CIntStrMapProp(CIntStrMap{}));
  });
  EXPECT_NE(RunTool({"project-langs", empty, "--json"}).out.find("\"brands\":[],\"output\":[]}"), std::string::npos);

  const std::string huge = Save("huge.lmp", [](CResItem& root, CResItem&) {
    CIntStrMap brands;
    for (int key = 0; key < 5000; ++key) brands[key] = u"b";
    CPrjConfig::SetBrandMap(root, brands);
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, {1031}));
  });
  const ToolRun hugeRun = RunTool({"project-langs", huge, "--json"});
  EXPECT_EQ(hugeRun.status, 0);  // 2 parts x 256 brand bytes
  EXPECT_NE(hugeRun.out.find("{\"id\":16712711,\"brand\":255,\"culture\":\"de-DE\",\"name\":\"b: German - Germany\""),
            std::string::npos);

  const std::string bomb = Save("bomb.lmp", [](CResItem& root, CResItem&) {
    CLangSet selected;
    for (int part = 0; part < 65536; ++part) selected.insert(part);
    CPrjConfig::SetPrjLangs(root, CPrjLangs::FromStored(1033, 1031, 7777, selected));
    CIntStrMap brands;
    for (int key = 0; key < 256; ++key) brands[key] = u"b";
    CPrjConfig::SetBrandMap(root, brands);
  });
  const ToolRun bombRun = RunTool({"project-langs", bomb});
  EXPECT_EQ(std::tuple(bombRun.status, bombRun.out, bombRun.err),
            std::tuple(1, "", "locmodel: " + bomb + ": too many output languages (16777216)\n"));
  EXPECT_EQ(RunTool({"project-langs", bomb, "--brand", "3"}).status, 0);  // 65536 x 1
  EXPECT_EQ(RunTool({"config", "list", bomb}).status, 0);
}

}  // namespace
