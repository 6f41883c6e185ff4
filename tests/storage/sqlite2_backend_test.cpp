// Legacy SQLite 2 files a real SQLite 2.8 engine wrote, through the reader
// and through the storage layer over them: loading, the value store, SQLite
// 2's comparisons, the commands, and a connection that never writes.
#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#include "locmodel/items/res_item.h"
#include "cli/sample_project.h"
#include "locmodel/items/trans_item.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "storage/sqlite2_builder.h"
#include "storage/sqlite2_expected.h"
#include "storage/statements.h"
#include "storage/storage_fixture.h"
#include "support/cli_run.h"
#include "test_paths.h"

namespace storage_testing {
namespace {

using locmodel::Sqlite2File;
using locmodel::Status;
using testing_support::RunTool;
using Row = Sqlite2Builder::Row;

const std::string kFixtures = LOCMODEL_SOURCE_DIR "/tests/fixtures/sqlite2/";

const ExpectedTable& Table(const ExpectedFixture& fixture, const std::string& name) {
  for (const ExpectedTable& table : fixture.tables)
    if (name == table.name) return table;
  throw std::logic_error("no table " + name);
}

// The figures of a loaded tree, counted as the fixtures' JSON counts them:
// a translation's text (#2) and data (#1) are not properties of their own.
ExpectedLoad Figures(const CResItem* root) {
  ExpectedLoad figures{};
  std::vector<std::pair<const CResItem*, int>> stack;
  if (root) stack.emplace_back(root, 0);
  while (!stack.empty()) {
    const auto [item, depth] = stack.back();
    stack.pop_back();
    ++figures.items;
    figures.max_depth = std::max(figures.max_depth, depth);
    figures.binary_bytes += static_cast<int>(item->GetDataSize());
    for (const auto& [name, prop] : item->GetPropCont()) {
      ++figures.item_props;
      figures.binary_bytes += static_cast<int>(prop->GetData().size());
    }
    for (const auto& [lang, trans] : item->GetTransMap()) {
      ++figures.translations;
      for (const auto& [name, prop] : trans->GetPropCont()) {
        figures.trans_props += name.ToString() != u"#1" && name.ToString() != u"#2";
        figures.binary_bytes += static_cast<int>(prop->GetData().size());
      }
    }
    for (const CResItem* child : item->GetResItems()) stack.emplace_back(child, depth + 1);
  }
  return figures;
}

class LegacyStorage : public StorageTest {
 protected:
  fs::path CopyFixture(const std::string& name) {
    fs::copy_file(kFixtures + name, In(name), fs::copy_options::overwrite_existing);
    return In(name);
  }
};

TEST(Sqlite2FileTest, FixturesReadBackExactlyFromFileAndMemory) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    std::unique_ptr<Sqlite2File> from_file, from_memory;
    Status status = Sqlite2File::Open(Wide(kFixtures + fixture.file), &from_file);
    ASSERT_TRUE(status.ok()) << status.ToString();
    status = Sqlite2File::OpenBytes(ReadFile(kFixtures + fixture.file), &from_memory);
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_FALSE(from_file->big_endian());
    EXPECT_EQ(from_file->tables().size(), 5u);
    // Names match as SQL matches them: whole, in any case; indexes are no tables.
    EXPECT_EQ(from_file->FindTable("Sqlite_Master"), &from_file->schema_table());
    for (const char* name : {"val_storage_key", "res_items", "res_ite"}) EXPECT_EQ(from_file->FindTable(name), nullptr);
    auto rows = from_file->Rows(from_file->schema_table());
    while (rows.Next()) {
    }
    EXPECT_FALSE(rows.Next());  // and stays at the end
    for (const ExpectedTable& expected : fixture.tables) {
      std::vector<std::pair<int32_t, Row>> want;
      for (const ExpectedRow& row : expected.rows) want.emplace_back(row.rowid, row.cells);
      for (const Sqlite2File* file : {from_file.get(), from_memory.get()}) {
        const locmodel::Sqlite2Table* table = file->FindTable(expected.name);
        ASSERT_NE(table, nullptr) << expected.name;
        EXPECT_EQ(ReadRows(*file, *table, &status), want) << expected.name;
        EXPECT_TRUE(status.ok()) << status.ToString();
      }
    }
  }
}

// Cutting a file short or wiping any page it uses must never pass unnoticed.
TEST(Sqlite2FileTest, TruncatedOrWipedFixturesAreMalformed) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const std::string bytes = ReadFile(kFixtures + fixture.file);
    std::unique_ptr<Sqlite2File> file;
    for (size_t length = 0; length < bytes.size(); length += 1024) {
      EXPECT_EQ(Sqlite2File::OpenBytes(bytes.substr(0, length), &file).kind(), Status::Kind::kMalformed) << length;
      EXPECT_EQ(file, nullptr);
    }
    EXPECT_FALSE(Sqlite2File::OpenBytes(bytes.substr(0, bytes.size() - 1), &file).ok());
    for (size_t page = 0; page < bytes.size() / 1024; ++page) {
      std::string wiped = bytes;
      std::fill_n(wiped.begin() + static_cast<long>(page * 1024), 1024, '\0');
      const Status status = Sqlite2File::OpenBytes(wiped, &file);
      EXPECT_EQ(status.kind(), Status::Kind::kMalformed) << "page " << page + 1;
      EXPECT_EQ(status.ToString().find('\n'), std::string::npos);
    }
  }
}

TEST_F(LegacyStorage, EveryWriteFailsWithAMessageAndLeavesTheFileAlone) {
  const fs::path path = CopyFixture("small.db");
  {
    RecordingSink sink;
    CStorage storage(Wide(path));  // even when asked to write
    ASSERT_TRUE(storage.IsGood());
    EXPECT_TRUE(sink.texts.empty());
    storage.SetInt(u"ProjectVersion", 1);
    storage.SetInt(u"NewKey", 1);
    storage.SetStr(u"ProjectName", u"renamed");
    const unsigned char bytes[] = {1, 2, 3};
    storage.SetData(u"SelectedLangs", bytes, sizeof bytes);
    EXPECT_EQ(storage.SaveBinary(bytes, sizeof bytes), 0);
    storage.CreateDb();
    storage.ClearItems();
    ASSERT_GE(sink.texts.size(), 7u);
    for (const std::string& text : sink.texts) EXPECT_EQ(text, "statement not supported on a read-only legacy database");
    int version = 0;
    storage.GetInt(version, u"ProjectVersion");
    EXPECT_EQ(version, 4200);
    EXPECT_FALSE(storage.IsValExists(u"NewKey"));
  }
  EXPECT_EQ(ReadFile(path), ReadFile(kFixtures + "small.db"));
  EXPECT_FALSE(fs::exists(In("small.db-journal")));
}

// The legacy engine answers the storage layer's reads, taken from the same
// texts (so no edited query can leave legacy files unreadable), and nothing else.
TEST_F(LegacyStorage, OnlyTheStorageStatementsAreAnswered) {
  const fs::path path = CopyFixture("small.db");
  sqlite* db = sqlite_open(path.c_str(), kSqliteReadOnly, nullptr);
  ASSERT_NE(db, nullptr);
  for (const char* statement : locmodel::statements::kLegacyReads) {
    SCOPED_TRACE(statement);
    std::string sql = statement;
    for (size_t at; (at = sql.find("%Q")) != std::string::npos;) sql.replace(at, 2, "'it''s'");
    sqlite_vm* vm = nullptr;
    ASSERT_EQ(sqlite_compile(db, sql.c_str(), nullptr, &vm, nullptr), SQLITE_OK);
    ASSERT_NE(vm, nullptr);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) rc = sqlite_step(vm, nullptr, nullptr, nullptr);
    EXPECT_EQ(rc, SQLITE_DONE);
    EXPECT_EQ(sqlite_finalize(vm, nullptr), SQLITE_OK);
  }
  for (const char* sql : {"SELECT * FROM prop", "select val from val_storage",
                          "SELECT val FROM val_storage WHERE val_key = 'a' AND file = 'b' OR 1",
                          "SELECT val FROM val_storage WHERE val_key = 'a AND file = 'b' ", "drop table prop", " \t\r\n\v\f "}) {
    SCOPED_TRACE(sql);
    sqlite_vm* vm = nullptr;
    char* error = nullptr;
    EXPECT_EQ(sqlite_compile(db, sql, nullptr, &vm, &error), *sql == ' ' ? SQLITE_OK : SQLITE_ERROR);
    EXPECT_EQ(vm, nullptr);
    EXPECT_STREQ(error, *sql == ' ' ? nullptr : "statement not supported on a read-only legacy database");
    sqlite_freemem(error);
  }
  // Statements in a row, each closed by its semicolon, and texts with quotes.
  Rows rows;
  EXPECT_EQ(sqlite_exec(db, "begin; SELECT val FROM val_storage WHERE val_key = 'Owner''s note' AND file = '' ; commit;",
                        [](void* arg, int n, char** values, char**) {
                          EXPECT_EQ(n, 1);
                          static_cast<Rows*>(arg)->push_back(values[0]);
                          return 0;
                        }, &rows, nullptr),
            SQLITE_OK);
  EXPECT_EQ(rows, Rows{"It's fine; really -- ok"});
  sqlite_close(db);
}

TEST_F(LegacyStorage, ComparisonsAreSqlite2s) {
  // "prop_type = 1" holds for every text that reads as the number 1; keys
  // match byte for byte, the first row in rowid order.
  std::map<std::string, std::vector<std::pair<int32_t, Row>>> rows = {
      {"RES_ITEM", {{1, {"9999999", "9999999", "1", "root", "", "0", "0"}}}},
      {"VAL_STORAGE", {{1, {"Key", "", "1"}}, {2, {"key", "", "2"}}, {3, {"Key ", "", "3"}},
                       {4, {"Key", "a.rc", "4"}}, {5, {"Key", "", "5"}}}}};
  const char* kinds[] = {"1", "1.0", "01", "+1", "1e0", " 1", "1 ", "one", "2", "0x1", "10", nullptr};
  for (int i = 0; i < static_cast<int>(std::size(kinds)); ++i) {
    rows["PROP"].push_back({i + 1, {"1", "#" + std::to_string(100 + i), "2", "9999999", std::nullopt,
                                    std::to_string(i), kinds[i] ? Row::value_type(kinds[i]) : std::nullopt,
                                    std::nullopt, std::nullopt, std::nullopt}});
  }
  Sqlite2Builder builder;
  for (const ExpectedRow& table : Table(ExpectedSqlite2Fixtures()[0], "sqlite_master").rows)
    if (*table.cells[0] == "table") builder.AddTable(*table.cells[1], *table.cells[4], rows[*table.cells[1]]);

  RecordingSink sink;
  CStorage storage(Wide(WriteFile(In("built.db"), builder.Finish())), CStorage::ReadOnly);
  const std::unique_ptr<CResItem> root(storage.Load());
  ASSERT_NE(root, nullptr);
  std::vector<std::u16string> names;
  for (const auto& [name, prop] : root->GetPropCont()) names.push_back(name.ToString());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"#100", u"#101", u"#102", u"#103", u"#104"}));
  const std::pair<std::u16string, std::u16string> keys[] = {{u"Key", u""}, {u"key", u""}, {u"Key ", u""},
                                                             {u"Key", u"a.rc"}};
  for (int i = 0; i < 4; ++i) {
    int value = 0;
    storage.GetInt(value, keys[i].first, keys[i].second);
    EXPECT_EQ(value, i + 1);
  }
  EXPECT_FALSE(storage.IsValExists(u"KEY"));
  EXPECT_TRUE(sink.texts.empty());

  // A file without the project tables fails to load, and is left alone.
  Sqlite2Builder other;
  other.AddTable("T", "create table T ( a )", {{1, {"x"}}});
  const std::string path = WriteFile(In("other.db"), other.Finish());
  std::unique_ptr<CResItem> tree;
  const std::string reason = locmodel::LoadProjectDatabase(Wide(path), tree).reason();
  EXPECT_EQ(reason.rfind("no such table: res_item; ", 0), 0u) << reason;
  EXPECT_EQ(reason.substr(reason.size() - 10), "; IO error") << reason;
  EXPECT_EQ(ReadFile(path), other.bytes());
}

// The commands dump every cell exactly and copy every row into SQLite 3; the
// storage layer loads the same tree from either file, and its value store
// answers each key and file as the engine stored it.
TEST_F(LegacyStorage, FixturesDumpUpgradeAndLoadEveryRow) {
  auto number = [](const std::optional<std::string>& cell) { return LoadInt(cell->c_str(), -1); };
  auto wide = [](const std::optional<std::string>& cell) { return locmodel::Utf8ToUtf16(*cell); };
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const std::string old = CopyFixture(fixture.file), upgraded = In(std::string("new-") + fixture.file);
    testing_support::ToolRun run;
    for (const char* dump : {"sqlite2-dump", "db-dump"}) {
      run = RunTool({dump, old, "--json"});
      EXPECT_EQ(std::tuple(run.status, run.out), std::tuple(0, fixture.dump_json)) << dump << run.err;
    }
    run = RunTool({"db-upgrade", old, upgraded});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(upgraded).rfind(std::string("SQLite format 3") + '\0', 0), 0u);
    EXPECT_EQ(RunTool({"db-dump", upgraded, "--json"}).out, fixture.dump_json);
    std::unique_ptr<CResItem> modern;
    const Status status = locmodel::LoadProjectDatabase(Wide(upgraded), modern);
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_TRUE(Figures(modern.get()) == fixture.load);
    const std::string before = ReadFile(upgraded);
    run = RunTool({"db-upgrade", old, upgraded});
    EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(1, "locmodel: " + upgraded + ": file exists\n"));
    EXPECT_EQ(ReadFile(upgraded), before);

    RecordingSink sink;
    CStorage storage(Wide(old), CStorage::ReadOnly);
    ASSERT_TRUE(storage.IsGood());
    const std::unique_ptr<CResItem> root(storage.Load());
    EXPECT_TRUE(root ? modern && locmodel::cli::SameTree(*root, *modern) : !modern);
    for (const ExpectedRow& row : Table(fixture, "VAL_STORAGE").rows) {
      const std::u16string key = wide(row.cells[0]), file = wide(row.cells[1]);
      EXPECT_TRUE(storage.IsValExists(key, file));
      int value = -12345;
      storage.GetInt(value, key, file);
      EXPECT_EQ(value, number(row.cells[2]));
      std::u16string text;
      storage.GetStr(text, key, file);
      // (texts that are no UTF-8 come back in some other way)
      EXPECT_TRUE(locmodel::Utf16ToUtf8(wide(row.cells[2])) != *row.cells[2] || text == wide(row.cells[2]));
      unsigned int size = 0, want_size = 0;
      std::unique_ptr<unsigned char[], locmodel::BufferDeleter> data(storage.GetData(key, size, file));
      std::unique_ptr<unsigned char[], locmodel::BufferDeleter> want(LoadBinary(row.cells[2]->c_str(), want_size));
      ASSERT_EQ(size, want_size);
      EXPECT_EQ(std::string(data.get(), data.get() + size), std::string(want.get(), want.get() + size));
    }
    EXPECT_FALSE(storage.IsValExists(u"ProjectVersion", u"elsewhere.rc") || storage.IsValExists(u"projectversion"));
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_EQ(ReadFile(old), ReadFile(kFixtures + fixture.file));
  }
  // The decoding of a stored binary value, checked against bytes known apart.
  unsigned int size = 0;
  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> langs(
      CStorage(Wide(In("small.db")), CStorage::ReadOnly).GetData(u"SelectedLangs", size));
  const unsigned char want[] = {0x07, 0x04, 0, 0, 0x0C, 0x04, 0, 0, 0x11, 0x04, 0, 0};
  ASSERT_EQ(size, sizeof want);
  EXPECT_EQ(std::memcmp(langs.get(), want, size), 0);

  const testing_support::ToolRun run = RunTool({"db-values", In("small.db"), "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("[{\"key\":\"ProjectVersion\",\"file\":\"\",\"value\":\"4200\"},", 0), 0u);
  EXPECT_NE(run.out.find("{\"key\":\"Encoding\",\"file\":\"res/app.rc\",\"value\":\"65001\"}]\n"), std::string::npos);
}

// Every command that reads a damaged legacy file fails with one line and
// writes nothing. (Copies cut or wiped at each page are Sqlite2FileTest's.)
TEST_F(LegacyStorage, CommandsRefuseADamagedFileInOneLine) {
  const std::string bytes = ReadFile(kFixtures + "small.db");
  const std::string file = WriteFile(In("cut.db"), bytes.substr(0, bytes.size() - 1));
  for (const Rows& args : {Rows{"dump", file}, Rows{"db-dump", file}, Rows{"sqlite2-dump", file},
                           Rows{"db-values", file}, Rows{"db-upgrade", file, In("out.db")}}) {
    SCOPED_TRACE(args[0]);
    const testing_support::ToolRun run = RunTool(args);
    EXPECT_EQ(std::tuple(run.status, run.out), std::tuple(1, ""));
    EXPECT_EQ(run.err.rfind("locmodel: " + file + ": malformed legacy database: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
  }
  EXPECT_FALSE(fs::exists(In("out.db")));
}

}  // namespace
}  // namespace storage_testing
