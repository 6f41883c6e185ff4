// The SQLite 2 reader on files a real SQLite 2.8 engine wrote.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/util/unicode.h"
#include "storage/sqlite2_builder.h"
#include "storage/sqlite2_expected.h"
#include "support/cli_run.h"
#include "test_paths.h"

using locmodel::Sqlite2File;
using locmodel::Status;
using locmodel::Sqlite2Table;

namespace {

std::string FixturePath(const std::string& name) {
  return std::string(LOCMODEL_SOURCE_DIR) + "/tests/fixtures/sqlite2/" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Every row of `table`, compared with the engine's own reading.
void ExpectRows(const Sqlite2File& file, const ExpectedTable& expected) {
  const Sqlite2Table* table = file.FindTable(expected.name);
  ASSERT_NE(table, nullptr) << expected.name;
  std::vector<std::pair<int32_t, Sqlite2Builder::Row>> want;
  for (const ExpectedRow& row : expected.rows) want.emplace_back(row.rowid, row.cells);
  Status status;
  EXPECT_EQ(ReadRows(file, *table, &status), want) << expected.name;
  EXPECT_TRUE(status.ok()) << status.ToString();
}

}  // namespace

TEST(Sqlite2FileTest, FixturesReadBackExactlyFromFileAndMemory) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const std::string path = FixturePath(fixture.file);
    std::unique_ptr<Sqlite2File> from_file, from_memory;
    Status status = Sqlite2File::Open(locmodel::Utf8ToUtf16(path), &from_file);
    ASSERT_TRUE(status.ok()) << status.ToString();
    status = Sqlite2File::OpenBytes(ReadFile(path), &from_memory);
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_FALSE(from_file->big_endian());
    EXPECT_EQ(from_file->tables().size(), 5u);
    for (const ExpectedTable& table : fixture.tables) {
      ExpectRows(*from_file, table);
      ExpectRows(*from_memory, table);
    }
  }
}

TEST(Sqlite2FileTest, FindsTablesAndColumnsAsSqlNamesThem) {
  std::unique_ptr<Sqlite2File> file;
  ASSERT_TRUE(Sqlite2File::Open(locmodel::Utf8ToUtf16(FixturePath("empty.db")), &file).ok());
  const Sqlite2Table* table = file->FindTable("res_item");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->name, "RES_ITEM");
  EXPECT_EQ(file->FindTable("Res_Item"), table);
  EXPECT_EQ(table->columns, (std::vector<std::string>{"parent_key", "binary_key", "type", "comment",
                                                      "res_id", "tab_num", "state"}));
  EXPECT_EQ(table->FindColumn("RES_ID"), 4u);
  EXPECT_EQ(table->FindColumn("rowid"), std::nullopt);
  EXPECT_EQ(file->FindTable("val_storage")->columns,
            (std::vector<std::string>{"val_key", "file", "val"}));
  EXPECT_EQ(file->FindTable("SQLITE_MASTER"), &file->schema_table());
  auto rows = file->Rows(file->schema_table());
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(rows.Next());
  EXPECT_FALSE(rows.Next());
  EXPECT_FALSE(rows.Next());  // and stays at the end
  // Indexes are no tables, and a name must match whole.
  EXPECT_EQ(file->FindTable("val_storage_key"), nullptr);
  EXPECT_EQ(file->FindTable("res_items"), nullptr);
  EXPECT_EQ(file->FindTable("res_ite"), nullptr);
}

TEST(Sqlite2FileTest, DumpCommandPrintsEveryCellExactly) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    const auto run = testing_support::RunTool({"sqlite2-dump", FixturePath(fixture.file), "--json"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, fixture.dump_json) << fixture.file;
  }
}

// Cutting a file short or wiping any page it uses must never pass unnoticed.
TEST(Sqlite2FileTest, TruncatedOrWipedFixturesAreMalformed) {
  for (const ExpectedFixture& fixture : ExpectedSqlite2Fixtures()) {
    SCOPED_TRACE(fixture.file);
    const std::string bytes = ReadFile(FixturePath(fixture.file));
    std::unique_ptr<Sqlite2File> file;
    for (size_t length = 0; length < bytes.size(); length += 1024) {
      const Status status = Sqlite2File::OpenBytes(bytes.substr(0, length), &file);
      EXPECT_EQ(status.kind(), Status::Kind::kMalformed) << "length " << length;
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
