// Databases that are almost project databases: every reader refuses them
// with the same one-line reason before it reads a row.
#include "locmodel/items/res_item.h"
#include "locmodel/storage/project_database.h"
#include "storage/sqlite2_builder.h"
#include "storage/statements.h"
#include "storage/storage_fixture.h"
#include "support/cli_run.h"

namespace {

using namespace storage_testing;
using locmodel::Status;

// The reason each reader gives for the database at `path`, "ok" for none:
// the tree load, the table reader, the value store and the upgrade.
std::vector<std::string> Verdicts(const std::u16string& path) {
  auto reason = [](const Status& status) { return status.ok() ? std::string("ok") : status.reason(); };
  std::unique_ptr<CResItem> root;
  const Status read = ReadEveryTable(path, [](int64_t, const locmodel::DbCells&, const std::vector<std::string>&) {});
  const std::u16string upgraded = path + u".upgraded";
  std::filesystem::remove(locmodel::Utf16ToUtf8(upgraded));
  return {reason(locmodel::LoadProjectDatabase(path, root)), reason(read),
          reason(locmodel::ReadValueStore(path, [](const char*, const char*, const char*) {})),
          reason(locmodel::UpgradeProjectDatabase(path, upgraded))};
}

std::vector<std::string> Four(const std::string& reason) { return {reason, reason, reason, reason}; }

// Sets the value limit for one test.
class ValueLimit {
 public:
  explicit ValueLimit(size_t bytes) { locmodel::SetMaxDatabaseValueSize(bytes); }
  ~ValueLimit() { locmodel::SetMaxDatabaseValueSize(locmodel::kDefaultMaxDatabaseValue); }
};

class HostileDatabaseTest : public StorageTest {
 protected:
  // A new SQLite 3 project database holding a value, then `sql` run on it.
  std::u16string Database(const std::string& name, const Rows& sql) {
    NewDb(name, {"insert into VAL_STORAGE values ( 'Name', '', 'value' )"});
    for (const std::string& statement : sql) RawDb(In(name)).Exec(statement);
    return Path(name);
  }
  std::u16string Legacy(const std::string& name, Sqlite2Builder& builder) {
    return Wide(WriteFile(In(name), builder.Finish()));
  }
};

TEST_F(HostileDatabaseTest, TablesShapedOtherwiseAreRefusedByEveryReader) {
  const std::string prefix = "not a project database: ";
  const struct {
    const char* name;
    std::vector<std::string> sql;
    std::string reason;
  } cases[] = {
      {"generated",
       {"drop table RES_ITEM",
        "create table RES_ITEM ( parent_key INT, binary_key INT, type INT, "
        "comment CHAR GENERATED ALWAYS AS (hex(zeroblob(1000))), res_id CHAR, tab_num INT, state INT )",
        "insert into RES_ITEM ( parent_key ) values ( 9999999 )"},
       "RES_ITEM has a generated column"},
      {"stored_generated",
       {"drop table PROP",
        "create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, string CHAR, "
        "value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT AS (1) STORED )"},
       "PROP has a generated column"},
      {"extra", {"alter table TRANS_ITEM add column extra"}, "TRANS_ITEM has other columns than a project database's"},
      {"fewer", {"drop table PROP", "create table PROP ( parent_key INT )"},
       "PROP has other columns than a project database's"},
      {"renamed", {"drop table VAL_STORAGE", "create table VAL_STORAGE ( val_key CHAR, file CHAR, value )"},
       "VAL_STORAGE has other columns than a project database's"},
      {"view",
       {"drop table BINARY", "create view BINARY as select 1 as parent_key, 2 as num, 3 as data"},
       "BINARY is a view, not a table"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Verdicts(Database(std::string(c.name) + ".db", c.sql)), Four(prefix + c.reason));
  }
  // Names compare as SQL compares them; a database as created passes.
  EXPECT_EQ(Verdicts(Database("as_created.db", {})), Four("ok"));

  const std::string sql = "create table RES_ITEM ( parent_key INT, binary_key INT, type INT, comment CHAR, "
                          "res_id CHAR, tab_num INT, state INT";
  Sqlite2Builder extra;
  extra.AddTable("res_item", sql + ", extra )", {{1, {"9999999", "9999999", "1", "", "", "0", "0", "x"}}});
  EXPECT_EQ(Verdicts(Legacy("extra2.db", extra)),
            Four(prefix + "RES_ITEM has other columns than a project database's"));
  Sqlite2Builder view;
  view.AddTable("Res_Item", sql + " )", {});
  view.AddSchemaRow({"view", "prop", "prop", "0", "create view prop as select 1"});
  EXPECT_EQ(Verdicts(Legacy("view2.db", view)),
            Four(prefix + "PROP is a view, not a table"));
}

TEST_F(HostileDatabaseTest, NoValueLongerThanTheLimitIsRead) {
  const std::string text(2000, 'c');
  const std::u16string modern =
      Database("long.db", {"insert into RES_ITEM ( parent_key, comment ) values ( 9999999, '" + text + "' )",
                           "insert into VAL_STORAGE values ( 'Long', '', '" + text + "' )"});
  namespace sql = locmodel::statements;
  Sqlite2Builder builder;
  builder.AddTable("PROP", sql::kCreateProp, {});
  for (int i = 0; i < 3; ++i) builder.AddTable(locmodel::kProjectTables[i + 1], sql::kCreateTables[i], {});
  builder.AddTable("VAL_STORAGE", sql::kCreateTables[3], {{1, {"Long", "", text}}});
  const std::u16string legacy = Legacy("long2.db", builder);
  EXPECT_EQ(Verdicts(modern), Four("ok"));
  EXPECT_EQ(Verdicts(legacy), Four("ok"));
  const ValueLimit limit(1000);
  EXPECT_EQ(Verdicts(modern), Four("a database value exceeds 1000 bytes"));
  EXPECT_EQ(Verdicts(legacy), Four("a database value exceeds 1000 bytes"));
}

TEST_F(HostileDatabaseTest, TreesDeeperThanTheItemLimitAreRefused) {
  for (const int depth : {CResItem::kMaxReadDepth, CResItem::kMaxReadDepth + 1, 40000}) {
    SCOPED_TRACE(depth);
    std::string chain = "begin;";
    for (int key = 1; key <= depth; ++key)
      chain += "insert into RES_ITEM ( rowid, parent_key, type ) values ( " + std::to_string(key) + ", " +
               std::to_string(key == 1 ? CStorage::kNoKey : key - 1) + ", 1 );";
    const std::u16string path = Database("chain" + std::to_string(depth) + ".db", {chain + "commit;"});
    std::unique_ptr<CResItem> root;
    const Status status = locmodel::LoadProjectDatabase(path, root);
    if (depth > CResItem::kMaxReadDepth) {
      EXPECT_EQ(status.reason(), "items nest deeper than 1000 levels");
      EXPECT_EQ(root, nullptr);
      continue;
    }
    ASSERT_TRUE(status.ok()) << status.ToString();
    int levels = 0;
    for (const CResItem* item = root.get(); item; ++levels)
      item = item->GetResItems().empty() ? nullptr : item->GetResItems().front();
    EXPECT_EQ(levels, depth);
  }
}

TEST_F(HostileDatabaseTest, EmptyFilesAndUnfinishedTransactionsAreRefused) {
  const std::string empty = WriteFile(In("empty.db"), std::string());
  // (That each database command reports a reader's failure in one line is
  // LegacyStorage's.)
  const testing_support::ToolRun run = testing_support::RunTool({"db-upgrade", empty, In("new.db")});
  EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(1, "locmodel: " + empty + ": empty file, not a database\n"));
  EXPECT_FALSE(std::filesystem::exists(In("new.db")));
  EXPECT_EQ(Verdicts(Path("empty.db")), Four("empty file, not a database"));

  // Changes a writer still holds in the write-ahead log are not in the file
  // alone: reading it would show an older database without saying so.
  const std::u16string wal = Database("wal.db", {"PRAGMA journal_mode=WAL"});
  {
    RawDb writer(In("wal.db"));
    writer.Exec("insert into VAL_STORAGE values ( 'Later', '', 'x' )");
    EXPECT_EQ(Verdicts(wal), Four("changes not yet in the file: a write-ahead log (-wal) lies beside it; "
                                  "open it read-write once to fold them in"));
  }
  EXPECT_EQ(Verdicts(wal), Four("ok"));  // the writer folded them in on closing

  const std::u16string journaled = Database("journaled.db", {});
  WriteFile(In("journaled.db-journal"), std::string(512, '\0'));  // finished with
  EXPECT_EQ(Verdicts(journaled), Four("ok"));
  WriteFile(In("journaled.db-journal"), std::string(512, '\xd9'));
  EXPECT_EQ(Verdicts(journaled), Four("unfinished transaction: a journal file lies beside it"));
}

}  // namespace
