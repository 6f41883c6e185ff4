// The storage layer over legacy SQLite 2 files: loading, the value store,
// SQLite 2's comparisons, and a connection that never writes.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/items/trans_item.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "storage/sqlite2_builder.h"
#include "storage/sqlite2_expected.h"
#include "storage/statements.h"
#include "storage/storage_fixture.h"
#include "support/cli_run.h"

namespace storage_testing {
namespace {

using testing_support::RunTool;
using Row = Sqlite2Builder::Row;

const char kPropSchema[] =
    "create table PROP ( parent_key INT, name CHAR, type INT, binary_key INT, string CHAR, "
    "value INT, prop_type INT, type_type INT, type_str CHAR, type_int INT )";
const char kValueSchema[] = "create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )";

const ExpectedTable& Table(const ExpectedFixture& fixture, const std::string& name) {
  for (const ExpectedTable& table : fixture.tables)
    if (name == table.name) return table;
  throw std::logic_error("no table " + name);
}

// The figures of a loaded tree, counted as the fixtures' JSON counts them:
// a translation's text (#2) and data (#1) are not properties of their own.
ExpectedLoad Figures(const CResItem* root) {
  ExpectedLoad figures{};
  if (!root) return figures;
  std::vector<std::pair<const CResItem*, int>> stack{{root, 0}};
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
        const std::u16string text = name.ToString();
        if (text != u"#1" && text != u"#2") ++figures.trans_props;
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
    const fs::path path = Path(name);
    fs::copy_file(fs::path(LOCMODEL_SOURCE_DIR) / "tests/fixtures/sqlite2" / name, path,
                  fs::copy_options::overwrite_existing);
    return path;
  }
  fs::path Build(Sqlite2Builder& builder, const std::string& name = "built.db") {
    const fs::path path = Path(name);
    WriteBytes(path, builder.Finish());
    return path;
  }
};

TEST_F(LegacyStorage, FixturesLoadTheTreeAndValuesTheEngineStored) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const fs::path path = CopyFixture(fixture.file);
    const std::string before = ReadBytes(path);
    RecordingSink sink;
    CStorage storage(Wide(path), CStorage::ReadOnly);
    ASSERT_TRUE(storage.IsGood());
    const std::unique_ptr<CResItem> root(storage.Load());
    const ExpectedLoad figures = Figures(root.get());
    const ExpectedLoad& want = fixture.load;
    EXPECT_EQ(figures.items, want.items);
    EXPECT_EQ(figures.translations, want.translations);
    EXPECT_EQ(figures.item_props, want.item_props);
    EXPECT_EQ(figures.trans_props, want.trans_props);
    EXPECT_EQ(figures.binary_bytes, want.binary_bytes);
    EXPECT_EQ(figures.max_depth, want.max_depth);

    // Every item carries its own row, below the item its row names.
    std::map<int, const ExpectedRow*> items;
    for (const ExpectedRow& row : Table(fixture, "RES_ITEM").rows) items[row.rowid] = &row;
    std::vector<const CResItem*> stack;
    if (root) stack.push_back(root.get());
    while (!stack.empty()) {
      const CResItem* item = stack.back();
      stack.pop_back();
      const ExpectedRow& row = *items.at(storage.GetKey(item));
      EXPECT_EQ(item->GetComment(), locmodel::Utf8ToUtf16(*row.cells[3]));
      EXPECT_EQ(item->GetResId(), locmodel::Utf8ToUtf16(*row.cells[4]));
      EXPECT_EQ(item->GetType(), LoadInt(row.cells[2]->c_str(), -1));
      EXPECT_EQ(item->GetState(), LoadInt(row.cells[6]->c_str(), -1));
      if (item->GetParent()) {
        EXPECT_EQ(storage.GetKey(item->GetParent()), LoadInt(row.cells[0]->c_str(), -1));
      }
      for (const CResItem* child : item->GetResItems()) stack.push_back(child);
      for (const ExpectedRow& trans : Table(fixture, "TRANS_ITEM").rows) {
        if (LoadInt(trans.cells[0]->c_str(), -1) != storage.GetKey(item)) continue;
        const CTransItem* loaded = item->GetTranslation(LoadInt(trans.cells[4]->c_str(), -1));
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->GetStr(), locmodel::Utf8ToUtf16(*trans.cells[6]));
        EXPECT_EQ(loaded->GetStatus(), LoadInt(trans.cells[5]->c_str(), -1));
      }
    }

    // The value store answers each key and file exactly as stored.
    for (const ExpectedRow& row : Table(fixture, "VAL_STORAGE").rows) {
      const std::u16string key = locmodel::Utf8ToUtf16(*row.cells[0]);
      const std::u16string file = locmodel::Utf8ToUtf16(*row.cells[1]);
      EXPECT_TRUE(storage.IsValExists(key, file));
      int number = -12345;
      storage.GetInt(number, key, file);
      EXPECT_EQ(number, LoadInt(row.cells[2]->c_str(), -1));
      std::u16string text;
      storage.GetStr(text, key, file);
      if (locmodel::Utf16ToUtf8(locmodel::Utf8ToUtf16(*row.cells[2])) == *row.cells[2]) {
        EXPECT_EQ(text, locmodel::Utf8ToUtf16(*row.cells[2]));
      }
      unsigned int size = 0;
      std::unique_ptr<unsigned char[], locmodel::BufferDeleter> data(storage.GetData(key, size, file));
      unsigned int want_size = 0;
      std::unique_ptr<unsigned char[], locmodel::BufferDeleter> want_data(LoadBinary(row.cells[2]->c_str(), want_size));
      ASSERT_EQ(size, want_size);
      EXPECT_EQ(std::string(data.get(), data.get() + size), std::string(want_data.get(), want_data.get() + size));
    }
    EXPECT_FALSE(storage.IsValExists(u"ProjectVersion", u"elsewhere.rc"));
    EXPECT_FALSE(storage.IsValExists(u"projectversion"));
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(ReadBytes(path), before);
  }

  const fs::path small = CopyFixture("small.db");
  CStorage storage(Wide(small), CStorage::ReadOnly);
  int version = 0;
  storage.GetInt(version, u"ProjectVersion");
  EXPECT_EQ(version, 4200);
  int encoding = 0;
  storage.GetInt(encoding, u"Encoding", u"res/app.rc");
  EXPECT_EQ(encoding, 65001);
  std::u16string note;
  storage.GetStr(note, u"Owner's note");
  EXPECT_EQ(note, u"It's fine; really -- ok");
  unsigned int size = 0;
  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> langs(storage.GetData(u"SelectedLangs", size));
  const unsigned char want[] = {0x07, 0x04, 0, 0, 0x0C, 0x04, 0, 0, 0x11, 0x04, 0, 0};
  ASSERT_EQ(size, sizeof want);
  EXPECT_EQ(std::memcmp(langs.get(), want, size), 0);
}

TEST_F(LegacyStorage, EveryWriteFailsWithAMessageAndLeavesTheFileAlone) {
  const fs::path path = CopyFixture("small.db");
  const std::string before = ReadBytes(path);
  {
    RecordingSink sink;
    CStorage storage(Wide(path));  // even when asked to write
    ASSERT_TRUE(storage.IsGood());
    EXPECT_TRUE(sink.Texts().empty());
    storage.SetInt(u"ProjectVersion", 1);
    storage.SetInt(u"NewKey", 1);
    storage.SetStr(u"ProjectName", u"renamed");
    const unsigned char bytes[] = {1, 2, 3};
    storage.SetData(u"SelectedLangs", bytes, sizeof bytes);
    EXPECT_EQ(storage.SaveBinary(bytes, sizeof bytes), 0);
    storage.CreateDb();
    storage.ClearItems();
    const std::vector<std::string> texts = sink.Texts();
    ASSERT_GE(texts.size(), 7u);
    for (const std::string& text : texts)
      EXPECT_EQ(text, "statement not supported on a read-only legacy database");
    int version = 0;
    storage.GetInt(version, u"ProjectVersion");
    EXPECT_EQ(version, 4200);
    EXPECT_FALSE(storage.IsValExists(u"NewKey"));
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(fs::exists(Path("small.db-journal")));
}

// The legacy engine knows the storage layer's reads from the same texts, so
// no edited query can leave legacy files unreadable.
TEST_F(LegacyStorage, EveryReadOfTheStorageLayerIsAnswered) {
  const fs::path path = CopyFixture("small.db");
  sqlite* db = sqlite_open(path.c_str(), kSqliteReadOnly, nullptr);
  ASSERT_NE(db, nullptr);
  for (const char* statement : locmodel::statements::kLegacyReads) {
    SCOPED_TRACE(statement);
    std::string sql = statement;
    for (size_t at; (at = sql.find("%Q")) != std::string::npos;) sql.replace(at, 2, "'it''s'");
    sqlite_vm* vm = nullptr;
    char* error = nullptr;
    EXPECT_EQ(sqlite_compile(db, sql.c_str(), nullptr, &vm, &error), SQLITE_OK) << error;
    sqlite_freemem(error);
    ASSERT_NE(vm, nullptr);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) rc = sqlite_step(vm, nullptr, nullptr, nullptr);
    EXPECT_EQ(rc, SQLITE_DONE);
    EXPECT_EQ(sqlite_finalize(vm, nullptr), SQLITE_OK);
  }
  sqlite_close(db);
}

TEST_F(LegacyStorage, OnlyTheStorageStatementsAreAnswered) {
  const fs::path path = CopyFixture("small.db");
  sqlite* db = sqlite_open(path.c_str(), kSqliteReadOnly, nullptr);
  ASSERT_NE(db, nullptr);
  for (const char* sql : {"SELECT * FROM prop", "select val from val_storage",
                          "SELECT val FROM val_storage WHERE val_key = 'a' AND file = 'b' OR 1",
                          "SELECT val FROM val_storage WHERE val_key = 'a AND file = 'b' ",
                          "drop table prop", "  "}) {
    SCOPED_TRACE(sql);
    sqlite_vm* vm = nullptr;
    char* error = nullptr;
    const int rc = sqlite_compile(db, sql, nullptr, &vm, &error);
    EXPECT_EQ(vm, nullptr);
    if (*sql == ' ') {
      EXPECT_EQ(rc, SQLITE_OK);
      EXPECT_EQ(error, nullptr);
    } else {
      EXPECT_EQ(rc, SQLITE_ERROR);
      EXPECT_STREQ(error, "statement not supported on a read-only legacy database");
    }
    sqlite_freemem(error);
  }
  // Statements in a row, each closed by its semicolon, and texts with quotes.
  std::vector<std::string> rows;
  EXPECT_EQ(sqlite_exec(db,
                        "begin; SELECT val FROM val_storage WHERE val_key = 'Owner''s note' AND "
                        "file = '' ; commit;",
                        [](void* arg, int n, char** values, char**) {
                          EXPECT_EQ(n, 1);
                          static_cast<std::vector<std::string>*>(arg)->push_back(values[0]);
                          return 0;
                        },
                        &rows, nullptr),
            SQLITE_OK);
  EXPECT_EQ(rows, std::vector<std::string>{"It's fine; really -- ok"});
  sqlite_close(db);

  const testing_support::ToolRun run = RunTool({"db-values", path.string(), "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("[{\"key\":\"ProjectVersion\",\"file\":\"\",\"value\":\"4200\"},", 0), 0u);
  EXPECT_NE(run.out.find("{\"key\":\"Encoding\",\"file\":\"res/app.rc\",\"value\":\"65001\"}]\n"),
            std::string::npos);
}

TEST_F(LegacyStorage, ComparisonsAreSqlite2s) {
  // "prop_type = 1" holds for every text that reads as the number 1; keys
  // match byte for byte.
  Sqlite2Builder builder;
  builder.AddTable("RES_ITEM",
                   "create table RES_ITEM    ( parent_key INT, binary_key INT, type INT, comment "
                   "CHAR, res_id CHAR, tab_num INT, state INT )",
                   {{1, {"9999999", "9999999", "1", "root", "", "0", "0"}}});
  builder.AddTable("TRANS_ITEM",
                   "create table TRANS_ITEM  ( parent_key INT, binary_key INT, type INT, comment "
                   "CHAR, lang INT, status INT, string CHAR )",
                   {});
  builder.AddTable("BINARY", "create table BINARY      ( parent_key INT, num INT, data BLOB )", {});
  std::vector<std::pair<int32_t, Row>> props;
  const char* kinds[] = {"1", "1.0", "01", "+1", "1e0", " 1", "1 ", "one", "2", "0x1", "10"};
  for (int i = 0; i < static_cast<int>(std::size(kinds)); ++i) {
    const std::string name = "#" + std::to_string(100 + i);
    props.push_back({i + 1, {"1", name, "2", "9999999", std::nullopt, std::to_string(i), kinds[i],
                               std::nullopt, std::nullopt, std::nullopt}});
  }
  props.push_back({50, {"1", "#200", "2", "9999999", std::nullopt, "5", std::nullopt, std::nullopt,
                      std::nullopt, std::nullopt}});
  builder.AddTable("PROP", kPropSchema, props);
  builder.AddTable("VAL_STORAGE", kValueSchema,
                   {{1, {"Key", "", "1"}}, {2, {"key", "", "2"}}, {3, {"Key ", "", "3"}},
                    {4, {"Key", "a.rc", "4"}}, {5, {"Key", "", "5"}}});
  const fs::path path = Build(builder);

  RecordingSink sink;
  CStorage storage(Wide(path), CStorage::ReadOnly);
  const std::unique_ptr<CResItem> root(storage.Load());
  ASSERT_NE(root, nullptr);
  std::vector<std::u16string> names;
  for (const auto& [name, prop] : root->GetPropCont()) names.push_back(name.ToString());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"#100", u"#101", u"#102", u"#103", u"#104"}));
  int value = 0;
  storage.GetInt(value, u"Key");
  EXPECT_EQ(value, 1);  // the first row in rowid order
  storage.GetInt(value, u"key");
  EXPECT_EQ(value, 2);
  storage.GetInt(value, u"Key ");
  EXPECT_EQ(value, 3);
  storage.GetInt(value, u"Key", u"a.rc");
  EXPECT_EQ(value, 4);
  EXPECT_FALSE(storage.IsValExists(u"KEY"));
  EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(LegacyStorage, AFileWithoutTheProjectTablesFailsToLoad) {
  Sqlite2Builder builder;
  builder.AddTable("T", "create table T ( a )", {{1, {"x"}}});
  const fs::path path = Build(builder);
  const std::string before = ReadBytes(path);
  RecordingSink sink;
  {
    CStorage storage(Wide(path), CStorage::ReadOnly);
    EXPECT_EQ(storage.Load(), nullptr);
  }
  const std::vector<std::string> texts = sink.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.front(), "no such table: res_item");
  EXPECT_EQ(texts.back(), "IO error");
  EXPECT_EQ(ReadBytes(path), before);

  std::unique_ptr<CResItem> root;
  const locmodel::Status status = locmodel::LoadProjectDatabase(Wide(path), root);
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.reason().find("IO error"), std::string::npos);
}

TEST_F(LegacyStorage, DamagedCopiesFailWithOneLine) {
  // Every copy cut at a page boundary or one byte short, and every copy with
  // one page zeroed, fails dump with one line and no tree.
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    const std::string bytes = ReadBytes(CopyFixture(fixture.file));
    std::vector<std::string> copies{bytes.substr(0, bytes.size() - 1)};
    for (size_t end = Sqlite2Builder::kPage; end < bytes.size(); end += Sqlite2Builder::kPage)
      copies.push_back(bytes.substr(0, end));
    for (size_t at = Sqlite2Builder::kPage; at < bytes.size(); at += Sqlite2Builder::kPage)
      copies.push_back(bytes.substr(0, at) + std::string(Sqlite2Builder::kPage, '\0') +
                       bytes.substr(at + Sqlite2Builder::kPage));
    for (size_t i = 0; i < copies.size(); ++i) {
      SCOPED_TRACE(std::string(fixture.file) + " copy " + std::to_string(i));
      const fs::path path = Path("damaged.db");
      WriteBytes(path, copies[i]);
      const testing_support::ToolRun run = RunTool({"dump", path.string()});
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, "");
      EXPECT_EQ(run.err.rfind("locmodel: " + path.string() + ": malformed legacy database: ", 0), 0u)
          << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    }
  }
}

TEST_F(LegacyStorage, DbDumpShowsTheProjectTablesOfEitherFormat) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    const testing_support::ToolRun run =
        RunTool({"db-dump", CopyFixture(fixture.file).string(), "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, fixture.dump_json);
  }
  const fs::path bare = Path("bare.db");
  CStorage{Wide(bare)};  // PROP alone
  EXPECT_EQ(RunTool({"db-dump", bare.string(), "--json"}).out,
            "{\"tables\":{\"PROP\":[],\"RES_ITEM\":[],\"TRANS_ITEM\":[],\"BINARY\":[],\"VAL_STORAGE\":[]}}\n");
  const fs::path db = NewDb();
  {
    CStorage storage(Wide(db));
    storage.SetInt(u"ProjectVersion", 4200);
    storage.SetStr(u"Name", u"Zo\u00eb", u"a.rc");
  }
  const testing_support::ToolRun run = RunTool({"db-dump", db.string(), "--json"});
  EXPECT_EQ(run.out,
            "{\"tables\":{\"PROP\":[],\"RES_ITEM\":[],\"TRANS_ITEM\":[],\"BINARY\":[],\"VAL_STORAGE\":"
            "[[1,\"ProjectVersion\",\"\",\"4200\"],[2,\"Name\",\"a.rc\",\"Zo\u00eb\"]]}}\n");

  std::string cut = ReadBytes(CopyFixture("small.db"));
  cut.resize(cut.size() - 1);
  WriteBytes(Path("cut.db"), cut);
  const testing_support::ToolRun damaged = RunTool({"db-dump", Path("cut.db").string()});
  EXPECT_EQ(damaged.status, 1);
  EXPECT_EQ(damaged.out, "");
  EXPECT_EQ(damaged.err.rfind("locmodel: " + Path("cut.db").string() + ": malformed legacy database: ", 0), 0u);
  EXPECT_EQ(std::count(damaged.err.begin(), damaged.err.end(), '\n'), 1);
}

TEST_F(LegacyStorage, DbUpgradeKeepsEveryRowInANewSqlite3Database) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const fs::path old = CopyFixture(fixture.file);
    const fs::path upgraded = Path(std::string("new-") + fixture.file);
    testing_support::ToolRun run = RunTool({"db-upgrade", old.string(), upgraded.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(upgraded).rfind(std::string("SQLite format 3") + '\0', 0), 0u);
    EXPECT_EQ(RunTool({"db-dump", upgraded.string(), "--json"}).out, fixture.dump_json);
    std::unique_ptr<CResItem> root;
    const locmodel::Status status = locmodel::LoadProjectDatabase(Wide(upgraded), root);
    ASSERT_TRUE(status.ok()) << status.ToString();
    const ExpectedLoad figures = Figures(root.get());
    EXPECT_EQ(figures.items, fixture.load.items);
    EXPECT_EQ(figures.binary_bytes, fixture.load.binary_bytes);

    const std::string before = ReadBytes(upgraded);
    run = RunTool({"db-upgrade", old.string(), upgraded.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "locmodel: " + upgraded.string() + ": file exists\n");
    EXPECT_EQ(ReadBytes(upgraded), before);
  }
  std::string cut = ReadBytes(CopyFixture("small.db"));
  cut.resize(cut.size() - 1);
  WriteBytes(Path("cut.db"), cut);
  const testing_support::ToolRun run = RunTool({"db-upgrade", Path("cut.db").string(), Path("out.db").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("locmodel: " + Path("cut.db").string() + ": malformed legacy database: ", 0), 0u);
  EXPECT_FALSE(fs::exists(Path("out.db")));
}

}  // namespace
}  // namespace storage_testing
