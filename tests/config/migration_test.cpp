// Moving an old project database: every value-store row ends up read or
// warned about, and the file is never written.
#include "locmodel/config/migration.h"

#include "config/old_project_fixture.h"
#include "locmodel/config/old_prj_config.h"
#include "locmodel/storage/database_tables.h"
#include "support/message_collector.h"
#include "test_paths.h"

namespace {

using namespace old_project_testing;
using locmodel::MigrateOldProject;
using locmodel::MigrationResult;

// "key = value" per read row, "key (file) " per warning: what the caller is told.
Rows Read(const MigrationResult& result) {
  Rows rows;
  for (const auto& s : result.read) rows.push_back(locmodel::Utf16ToUtf8(s.key + u" = " + s.value));
  return rows;
}
Rows Warned(const MigrationResult& result) {
  Rows rows;
  for (const auto& w : result.warnings)
    rows.push_back(locmodel::Utf16ToUtf8(w.key + (w.file.empty() ? u"" : u" (" + w.file + u")")));
  return rows;
}

// Every row of the value store appears as a read key or in a warning.
void ExpectEveryRowAccounted(const std::u16string& path, const MigrationResult& result) {
  ASSERT_TRUE(locmodel::ReadValueStore(path, [&](const char* key, const char* file, const char* /*value*/) {
    const std::u16string k = locmodel::Utf8ToUtf16(key ? key : ""), f = locmodel::Utf8ToUtf16(file ? file : "");
    const bool read = f.empty() && std::any_of(result.read.begin(), result.read.end(), [&](auto& s) { return s.key == k; });
    const bool warned = std::any_of(result.warnings.begin(), result.warnings.end(),
                                    [&](auto& w) { return w.key == k && w.file == f; });
    EXPECT_TRUE(read || warned) << key;
  }).ok());
}

using Migration = OldProjectTest;

TEST_F(Migration, ReadsKnownKeysInLoadOrderAndWarnsForEveryOtherRow) {
  const std::u16string path = OldDb("old.db", [](CStorage& s) {
    s.SetInt(u"FuzzyUpdate", 60);
    s.SetInt(u"FuzzyUpdate", 70, u"it's;--/*.rc");
    s.SetStr(u"RunLocalizedCmd", u"say 'hi'; -- /* Grüße */");
    s.SetStr(u"Zürich's key;--", u"x");
    s.SetInt(u"NativeLng", 1033);
    s.SetStr(u"TargetLng", u" +1031");
    s.SetInt(u"ProjectVersion", 4200);
    std::vector<int> langs(80, 1036);
    langs[0] = 1033, langs[1] = 1031, langs[70] = CLangId::OldNoLang;
    std::vector<unsigned char> bytes = LangBytes(langs);
    bytes.insert(bytes.end(), {0x27, 0});  // half an entry
    s.SetData(u"SelectedLangs", bytes.data(), static_cast<unsigned int>(bytes.size()));
  }, {"insert into val_storage ( val, val_key, file ) values ( '80', 'FuzzyUpdate', '' )",
      "insert into val_storage ( val, val_key, file ) values ( NULL, 'SecondaryLng', '' )",
      "insert into val_storage ( val, val_key, file ) values ( 1, 'bPEResourceOnly', NULL )"});
  const std::string before = ReadFile(In("old.db"));
  testing_support::MessageCollector messages;
  MigrationResult result;
  ASSERT_TRUE(MigrateOldProject(path, result).ok());
  EXPECT_EQ(ReadFile(In("old.db")), before);
  ASSERT_NE(result.root, nullptr);
  EXPECT_EQ(result.items, 1u);

  std::string list = "[1033,1031";
  for (int i = 2; i < 80; ++i) list += i == 70 ? ",77777777" : ",1036";
  EXPECT_EQ(Read(result), (Rows{"ProjectVersion = 4200", "NativeLng = 1033", "SelectedLangs = " + list + "]",
                                "TargetLng = 1031", "RunLocalizedCmd = say 'hi'; -- /* Grüße */", "FuzzyUpdate = 60"}));
  // Row order, then the languages that did not arrive: the list holds the
  // native language and is refused whole.
  EXPECT_EQ(Warned(result), (Rows{"FuzzyUpdate (it's;--/*.rc)", "Zürich's key;--", "TargetLng", "SelectedLangs",
                                  "SelectedLangs", "SelectedLangs", "FuzzyUpdate", "SecondaryLng", "bPEResourceOnly",
                                  "SelectedLangs", "SelectedLangs", "SelectedLangs", "TargetLng"}));
  EXPECT_EQ(locmodel::Utf16ToUtf8(result.warnings[2].reason),
            "the text \" +1031\" is not a plain decimal 32-bit number; read as 1031");
  EXPECT_EQ(messages.Texts(CMessagePanelMsg::Warning).size(), result.warnings.size());
  EXPECT_EQ(locmodel::Utf16ToUtf8(messages.Texts(CMessagePanelMsg::Warning)[0]),
            "FuzzyUpdate (file it's;--/*.rc): a per-file value; settings are read project-wide only");
  EXPECT_TRUE(result.errors.empty());
  ExpectEveryRowAccounted(path, result);
}

TEST_F(Migration, TellsRowsOutsideTheTreeAndAMissingValueStore) {
  const std::u16string path = OldDb("old.db", [](CStorage&) {}, {
      "insert into trans_item ( parent_key, binary_key, type, comment, lang, status, string ) "
      "values ( 42, 9999999, 0, '', 1031, 0, 'orphan' )",
      "insert into prop ( parent_key, name, type, binary_key, string, value, prop_type ) "
      "values ( 1, '@Odd', 1, 9999999, 'x', 0, 7 )",
      "drop table val_storage"});
  MigrationResult result;
  ASSERT_TRUE(MigrateOldProject(path, result).ok());
  EXPECT_EQ(Warned(result), (Rows{"VAL_STORAGE", "TRANS_ITEM", "PROP"}));
  EXPECT_TRUE(result.read.empty());
  EXPECT_EQ(CfgProps(*result.root), (Rows{"DFM.UseUnicode=true", "RunLocalizedCommandItem=\"#dump#\""}));

  // No database, no tree: refused, nothing returned.
  WriteFile(In("notes.txt"), std::string("not a database"));
  NewDb("empty.db");
  for (const char* name : {"notes.txt", "empty.db", "missing.db"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(MigrateOldProject(Path(name), result).ok());
    EXPECT_EQ(result.root, nullptr);
    EXPECT_TRUE(result.warnings.empty());
  }
  EXPECT_FALSE(fs::exists(In("missing.db")));
}

// A file written by a real SQLite 2 engine; the properties hold every
// value of old_settings in settings.json.
TEST_F(Migration, ConvertsTheSettingsOfALegacyFile) {
  const fs::path copy = In("settings.db");
  fs::copy_file(LOCMODEL_SOURCE_DIR "/tests/fixtures/sqlite2/settings.db", copy);
  const std::string before = ReadFile(copy);

  MigrationResult result;
  ASSERT_TRUE(MigrateOldProject(Wide(copy), result).ok());
  EXPECT_EQ(result.read.size(), 16u);
  EXPECT_EQ(Warned(result), (Rows{"SelectedLangs", "FuzzyUpdate (old.rc)"}));
  EXPECT_EQ(locmodel::Utf16ToUtf8(result.warnings[0].reason), "the list is cut at entry 5 (77777777): 71 entries dropped");
  ExpectEveryRowAccounted(Wide(copy), result);
  EXPECT_EQ(CfgProps(*result.root),
            (Rows{"CrashFinderDstDir=\"D:\\\\CrashDumps\\\\Sample\"", "FuzzyUpdate=75", "MFC.OutputType=2",
                  "PrjLangs={\"native\":1033,\"target\":1031,\"secondary\":7777,\"selected\":[1031,1036,1041,1049]}",
                  "RunLocalizedCmd=\"C:\\\\Program Files\\\\Sample App\\\\sample.exe\"",
                  "RunLocalizedCmdArgs=\"/lang=%LANG% \\\"C:\\\\Data\\\\it's here\\\"\"",
                  "RunLocalizedWorkDir=\"C:\\\\Program Files\\\\Sample App\"", "bCrashFinderAutoStart=false"}));
  EXPECT_EQ(ReadFile(copy), before);
}

}  // namespace
