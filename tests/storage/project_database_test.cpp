#include "locmodel/storage/project_database.h"

#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "storage/storage_fixture.h"
#include "support/cli_run.h"
#include "test_paths.h"

namespace {

using namespace storage_testing;
using testing_support::RunTool;
using ProjectDatabase = StorageTest;

// Loading and listing values fail with the reason and leave the file as it
// was. (That reading writes nothing beside a file either is ReadOnlyTest's.)
TEST_F(ProjectDatabase, FilesThatCannotBeReadAreLeftAlone) {
  RawDb(In("other.db")).Exec("create table T ( a )");
  CStorage{Path("bare.db")};  // PROP alone
  WriteFile(In("notes.txt"), std::string("some notes that are long enough"));
  WriteFile(In("legacy.db"), std::string("** This file contains an SQLite 2.1 database **"));
  using Kind = locmodel::Status::Kind;
  const struct {
    const char* file;
    Kind kind;
    const char* load;    // LoadProjectDatabase's reason
    const char* values;  // db-values' reason
  } cases[] = {
      {"other.db", Kind::kDatabase, "no such table: res_item; no such table: trans_item; no such table: binary; "
       "no such table: prop; no such table: prop; IO error", "no such table: val_storage"},
      {"bare.db", Kind::kDatabase,
       "no such table: res_item; no such table: trans_item; no such table: binary; IO error",
       "no such table: val_storage"},
      {"missing.db", Kind::kCannotOpen, "cannot open file", "cannot open file"},
      {"notes.txt", Kind::kDatabase, "file is not a database", "file is not a database"},
      {"legacy.db", Kind::kDatabase, "malformed legacy database: file length 47 is not a multiple of 1024",
       "malformed legacy database: file length 47 is not a multiple of 1024"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = In(c.file), before = fs::exists(path) ? ReadFile(path) : "<none>";
    std::unique_ptr<CResItem> root(new CResItem);
    const locmodel::Status status = locmodel::LoadProjectDatabase(Path(c.file), root);
    EXPECT_EQ(status.kind(), c.kind);
    EXPECT_EQ(status.ToString(), path + ": " + c.load);
    EXPECT_EQ(root, nullptr);
    const testing_support::ToolRun run = RunTool({"db-values", path, "--json"});
    EXPECT_EQ(std::tuple(run.status, run.out, run.err), std::tuple(1, "", "locmodel: " + path + ": " + c.values + "\n"));
    EXPECT_EQ(fs::exists(path) ? ReadFile(path) : "<none>", before);
  }
  // An empty tree is no error.
  std::unique_ptr<CResItem> root(new CResItem);
  EXPECT_TRUE(locmodel::LoadProjectDatabase(Wide(NewDb()), root).ok());
  EXPECT_EQ(root, nullptr);
}

// One call opens every kind of project file; failures name the file.
TEST_F(ProjectDatabase, LoadAnyProjectTellsEveryKindByContent) {
  NewDb("project.db", {"insert into res_item ( parent_key, comment ) values ( 9999999, 'from db' )"});
  CResItem project;
  project.SetComment(u"from file");
  ASSERT_TRUE(locmodel::SaveProject(project, Path("plain.lmp")).ok());
  ASSERT_TRUE(locmodel::SaveProject(project, Path("packed.lmp"), {true, 9}).ok());
  WriteFile(In("notes.txt"), std::string("not a project"));
  const struct {
    std::string file;
    const char* comment;  // of the root, or the reason of the failure
    bool ok;
  } cases[] = {
      {In("project.db"), "from db", true},
      {In("plain.lmp"), "from file", true},
      {In("packed.lmp"), "from file", true},
      {std::string(LOCMODEL_SOURCE_DIR) + "/tests/fixtures/sqlite2/small.db", "Sample project", true},
      {In("notes.txt"), "malformed project file", false},
      {In("missing.lmp"), "cannot open file: No such file or directory", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::unique_ptr<CResItem> root(new CResItem);
    const locmodel::Status status = locmodel::LoadAnyProject(Wide(c.file), root);
    ASSERT_EQ(status.ok(), c.ok) << status.ToString();
    EXPECT_EQ(c.ok ? locmodel::Utf16ToUtf8(root->GetComment()) : status.ToString(),
              c.ok ? c.comment : c.file + ": " + c.comment);
    EXPECT_EQ(root != nullptr, c.ok);
  }
}

TEST_F(ProjectDatabase, DbValuesListsTheStoreInRowidOrder) {
  const fs::path path = NewDb();
  {
    CStorage storage(Wide(path));
    storage.SetInt(u"ProjectVersion", 4200);
    storage.SetStr(u"Name \"q\"", u"007", u"a.rc");
    const unsigned char bytes[] = {0x00, 0x01, 0x27};
    storage.SetData(u"bin", bytes, 3);
    storage.SetStr(u"Größe", u"");
    storage.SetInt(u"ProjectVersion", 4201);  // an update keeps the row's place
  }
  const std::string before = ReadFile(path);
  auto run = RunTool({"db-values", path.string(), "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "[{\"key\":\"ProjectVersion\",\"file\":\"\",\"value\":\"4201\"},"
            "{\"key\":\"Name \\\"q\\\"\",\"file\":\"a.rc\",\"value\":\"007\"},"
            "{\"key\":\"bin\",\"file\":\"\",\"value\":\"\\u0002\ufffd\ufffd%\"},"
            "{\"key\":\"Größe\",\"file\":\"\",\"value\":\"\"}]\n");
  run = RunTool({"db-values", path.string()});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("\"ProjectVersion\" = \"4201\"\n\"Name \\\"q\\\"\" in \"a.rc\" = \"007\"\n", 0), 0u);
  EXPECT_EQ(ReadFile(path), before);
}

}  // namespace
