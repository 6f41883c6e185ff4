#include "locmodel/storage/project_database.h"

#include <gtest/gtest.h>

#include "locmodel/items/res_item.h"
#include "storage/storage_fixture.h"
#include "support/cli_run.h"
#include "test_paths.h"

namespace {

using namespace storage_testing;
using testing_support::RunTool;

class ProjectDatabase : public StorageTest {};

TEST_F(ProjectDatabase, ReadingNeverWritesNorCreates) {
  const fs::path path = NewDb();
  RawDb(path).Exec("insert into res_item ( parent_key, comment ) values ( 9999999, 'root' )");
  const std::string before = ReadBytes(path);
  std::unique_ptr<CResItem> root;
  const locmodel::Status status = locmodel::LoadProjectDatabase(Wide(path), root);
  ASSERT_TRUE(status.ok()) << status.ToString();
  ASSERT_TRUE(root);
  EXPECT_EQ(root->GetComment(), u"root");
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(dir_), {}), std::vector<fs::path>{path});
}

// Loading and listing values fail with the reason and leave the file as it was.
TEST_F(ProjectDatabase, FilesThatCannotBeReadAreLeftAlone) {
  RawDb(Path("other.db")).Exec("create table T ( a )");
  CStorage{Wide(Path("bare.db"))};  // PROP alone
  WriteBytes(Path("notes.txt"), "some notes that are long enough");
  WriteBytes(Path("legacy.db"), "** This file contains an SQLite 2.1 database **");
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
    const fs::path path = Path(c.file);
    const std::string before = fs::exists(path) ? ReadBytes(path) : "<none>";
    std::unique_ptr<CResItem> root(new CResItem);
    const locmodel::Status status = locmodel::LoadProjectDatabase(Wide(path), root);
    EXPECT_EQ(status.kind(), c.kind);
    EXPECT_EQ(status.ToString(), path.string() + ": " + c.load);
    EXPECT_EQ(root, nullptr);
    const testing_support::ToolRun run = RunTool({"db-values", path.string(), "--json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "locmodel: " + path.string() + ": " + c.values + "\n");
    EXPECT_EQ(fs::exists(path) ? ReadBytes(path) : "<none>", before);
  }
}

TEST_F(ProjectDatabase, AnEmptyTreeIsNoError) {
  std::unique_ptr<CResItem> root(new CResItem);
  EXPECT_TRUE(locmodel::LoadProjectDatabase(Wide(NewDb()), root).ok());
  EXPECT_EQ(root, nullptr);
}

// One call opens every kind of project file; failures name the file.
TEST_F(ProjectDatabase, LoadAnyProjectTellsEveryKindByContent) {
  const fs::path db = NewDb();
  {
    RawDb raw(db);
    raw.Exec("insert into res_item ( parent_key, comment ) values ( 9999999, 'from db' )");
  }
  CResItem project;
  project.SetComment(u"from file");
  ASSERT_TRUE(locmodel::SaveProject(project, Wide(Path("plain.lmp"))).ok());
  ASSERT_TRUE(locmodel::SaveProject(project, Wide(Path("packed.lmp")), {true, 9}).ok());
  WriteBytes(Path("notes.txt"), "not a project");
  const fs::path legacy = fs::path(LOCMODEL_SOURCE_DIR) / "tests/fixtures/sqlite2/small.db";
  const struct {
    fs::path file;
    const char* comment;  // of the root, or the reason of the failure
    bool ok;
  } cases[] = {
      {db, "from db", true},
      {Path("plain.lmp"), "from file", true},
      {Path("packed.lmp"), "from file", true},
      {Path("notes.txt"), "malformed project file", false},
      {Path("missing.lmp"), "cannot open file: No such file or directory", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::unique_ptr<CResItem> root(new CResItem);
    const locmodel::Status status = locmodel::LoadAnyProject(Wide(c.file), root);
    ASSERT_EQ(status.ok(), c.ok) << status.ToString();
    if (c.ok) {
      ASSERT_TRUE(root);
      EXPECT_EQ(locmodel::Utf16ToUtf8(root->GetComment()), c.comment);
    } else {
      EXPECT_EQ(root, nullptr);
      EXPECT_EQ(status.ToString(), c.file.string() + ": " + c.comment);
    }
  }
  std::unique_ptr<CResItem> root;
  EXPECT_TRUE(locmodel::LoadAnyProject(Wide(legacy), root).ok());
  EXPECT_TRUE(root);
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
  const std::string before = ReadBytes(path);
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
  EXPECT_EQ(ReadBytes(path), before);
}

}  // namespace
