// Settings of an old project: what Load makes of the stored values, and the
// properties Convert stores from them.
#include "locmodel/config/old_prj_config.h"

#include <optional>

#include "config/old_project_fixture.h"

namespace {

using namespace old_project_testing;

constexpr int kNone = CLangId::NoLang, kOldNone = CLangId::OldNoLang;

using OldPrjConfigTest = OldProjectTest;

// Loading never writes: not to the file, not beside it, and a missing file is
// not created.
TEST_F(OldPrjConfigTest, LoadCutsTheLanguageListThenAddsTargetAndSecondaryAndNeverWrites) {
  const struct {
    std::optional<std::vector<int>> stored;
    std::optional<int> target, secondary;
    std::vector<int> selected;
    int secondaryAfter;
  } cases[] = {
      {{{1031, kOldNone, 1036}}, {}, {}, {1031}, kNone},
      {{{1040, kNone, 1031}}, {}, {}, {1040}, kNone},
      {{{1036, 1031, 1036}}, 1049, kOldNone, {1031, 1036, 1049}, kNone},
      {{{kNone, 1031}}, 1036, 1040, {1036, 1040}, 1040},
      {{}, 1031, {}, {1031}, kNone},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    const auto& c = cases[i];
    const std::u16string path = OldDb(std::to_string(i), [&](CStorage& storage) {
      if (c.stored) storage.SetData(u"SelectedLangs", LangBytes(*c.stored).data(), static_cast<unsigned int>(4 * c.stored->size()));
      if (c.target) storage.SetInt(u"TargetLng", *c.target);
      if (c.secondary) storage.SetInt(u"SecondaryLng", *c.secondary);
    });
    const std::string before = ReadFile(In(std::to_string(i)));
    COldPrjConfig config;
    config.Load(path);
    EXPECT_EQ(std::tuple(config.SelectedLangs, config.TargetLng, config.SecondaryLng),
              std::tuple(c.selected, c.target.value_or(kNone), c.secondaryAfter));
    EXPECT_EQ(ReadFile(In(std::to_string(i))), before);
  }
  RecordingSink sink;
  COldPrjConfig missing;
  missing.Load(Path("missing.db"));
  EXPECT_EQ(std::tuple(missing.FuzzyUpdate, sink.texts.size()), std::tuple(90, size_t{1}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), std::ssize(cases));
}

TEST_F(OldPrjConfigTest, ConvertStoresWhatDiffersFromTheDefaults) {
  const struct {
    std::function<void(COldPrjConfig&)> set;
    Rows props;
  } cases[] = {
      // No custom command, no FuzzyUpdate: only "#dump#" and Unicode forms.
      {[](COldPrjConfig&) {}, {"DFM.UseUnicode=true", "RunLocalizedCommandItem=\"#dump#\""}},
      {[](COldPrjConfig& c) {
         c.RunLocalizedCustom = 1, c.RunLocalizedCmd = u"run.exe", c.RunLocalizedWorkDir = u"C:\\w";
         c.RunLocalizedCmdArgs = u"/x \"y\"", c.CrashFinderDstDir = u"D:\\dumps", c.bCrashFinderAutoStart = 0;
         c.bCrashUseTempDir = 0, c.bBorlandUnicode = 0, c.FuzzyUpdate = 75, c.bPEResourceOnly = 2;
         c.bPEMultipleLangInFile = 1;
       },
       {"CrashFinderDstDir=\"D:\\\\dumps\"", "FuzzyUpdate=75", "MFC.OutputType=1", "RunLocalizedCmd=\"run.exe\"",
        "RunLocalizedCmdArgs=\"/x \\\"y\\\"\"", "RunLocalizedWorkDir=\"C:\\\\w\"", "bCrashFinderAutoStart=false",
        "bCrashUseTempDir=false"}},
      {[](COldPrjConfig& c) { c.bPEMultipleLangInFile = -1, c.bBorlandUnicode = 0; }, {"MFC.OutputType=2", "RunLocalizedCommandItem=\"#dump#\""}},
      {[](COldPrjConfig& c) { c.NativeLng = 1033, c.SelectedLangs = {1031, 1036}, c.TargetLng = 1036, c.SecondaryLng = 1031; },
       {"DFM.UseUnicode=true", "PrjLangs={\"native\":1033,\"target\":1036,\"secondary\":1031,\"selected\":[1031,1036]}",
        "RunLocalizedCommandItem=\"#dump#\""}},
      // A list holding the native language is refused whole, and the target
      // and secondary with it.
      {[](COldPrjConfig& c) { c.NativeLng = 1033, c.SelectedLangs = {1031, 1033}, c.TargetLng = 1031, c.SecondaryLng = 1031; },
       {"DFM.UseUnicode=true", "PrjLangs={\"native\":1033,\"target\":7777,\"secondary\":7777,\"selected\":[]}",
        "RunLocalizedCommandItem=\"#dump#\""}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    COldPrjConfig config;
    cases[i].set(config);
    CResItem root;
    config.Convert(root);
    EXPECT_EQ(CfgProps(root), cases[i].props);
  }
}

}  // namespace
