#include "storage/sqlite_api.h"

#include "storage/storage_fixture.h"

namespace {

using namespace storage_testing;
using Bytes = std::vector<unsigned char>;

Bytes Encode(const Bytes& in) {
  Bytes out(2 * in.size() + 2);
  const int n = sqlite_encode_binary(in.data(), static_cast<int>(in.size()), out.data());
  EXPECT_EQ(out[n], 0);
  out.resize(n);
  return out;
}

int Decode(const Bytes& text, Bytes& out) {
  Bytes in = text;
  in.push_back(0);
  out.assign(in.size(), 0);
  const int n = sqlite_decode_binary(in.data(), out.data());
  out.resize(n < 0 ? 0 : n);
  return n;
}

TEST(SqliteBinaryText, EncodesWithTheBestOffsetAndDecodesBack) {
  // Offset 1 would escape the byte 01; offset 2 escapes nothing.
  EXPECT_EQ(Encode({0x00, 0x01, 0x27}), (Bytes{0x02, 0xFE, 0xFF, 0x25}));
  EXPECT_EQ(Encode({}), (Bytes{'x'}));
  // Every offset escapes something here; 1 is the lowest of those with the
  // fewest (the bytes 1, 2 and 0x28 map to the three escapes).
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<unsigned char>(i);
  const Bytes encoded = Encode(all);
  EXPECT_EQ(encoded[0], 1);
  EXPECT_EQ(encoded.size(), 1u + 256 + 3);
  EXPECT_EQ(std::count(encoded.begin(), encoded.end(), 0x27), 0);

  // Round trips of any bytes are the storage_db fuzz target's.
  Bytes out;
  EXPECT_EQ(Decode({'x'}, out), 0);
  EXPECT_EQ(Decode({}, out), 0);
  ASSERT_EQ(Decode(encoded, out), 256);
  EXPECT_EQ(out, all);
}

TEST(SqliteBinaryText, BadEscapesFail) {
  Bytes out;
  EXPECT_EQ(Decode({0x05, 0x01, 0x04}, out), -1);
  EXPECT_EQ(Decode({0x05, 0x07, 0x01}, out), -1);  // cut short by the terminator
  EXPECT_EQ(Decode({0x05, 0x01, 0x01, 0x01, 0x03}, out), 2);
  EXPECT_EQ(out, (Bytes{0x05, 0x2C}));
}

class SqliteApi : public StorageTest {};

TEST_F(SqliteApi, PrintfQuotesTextsAndRefusesOtherConversions) {
  RawDb db(In("a.db"));
  db.Exec("create table T ( a, b )");
  char* error = nullptr;
  EXPECT_EQ(sqlite_exec_printf(db.get(), "insert into T values ( %d, %Q ); insert into T values ( %d, %Q )",
                               nullptr, nullptr, &error, -42, "it's; -- 100%", 7, nullptr),
            SQLITE_OK);
  EXPECT_EQ(error, nullptr);
  EXPECT_EQ(db.Get("select a, b from T"), (std::vector<std::string>{"-42|it's; -- 100%", "7|<null>"}));
  EXPECT_EQ(sqlite_exec_printf(db.get(), "select %s", nullptr, nullptr, &error, "x"), SQLITE_MISUSE);
  ASSERT_NE(error, nullptr);
  sqlite_freemem(error);
  EXPECT_EQ(sqlite_exec_printf(db.get(), "select '100%%'", nullptr, nullptr, nullptr), SQLITE_OK);
}

TEST_F(SqliteApi, StepsGiveTextsNullsAndNamesAndFinalizeGivesTheError) {
  RawDb db(In("a.db"));
  db.Exec("create table T ( a INT, b CHAR, c BLOB ); insert into T values ( 5, NULL, x'6869' );");
  sqlite_vm* vm = nullptr;
  const char* tail = nullptr;
  const char* sql = "select a, b, c from T; select 1";
  ASSERT_EQ(sqlite_compile(db.get(), sql, &tail, &vm, nullptr), SQLITE_OK);
  EXPECT_STREQ(tail, " select 1");
  int n = 0;
  const char** values = nullptr;
  const char** names = nullptr;
  ASSERT_EQ(sqlite_step(vm, &n, &values, &names), SQLITE_ROW);
  ASSERT_EQ(n, 3);
  EXPECT_STREQ(values[0], "5");
  EXPECT_EQ(values[1], nullptr);
  EXPECT_STREQ(values[2], "hi");
  EXPECT_STREQ(names[0], "a");
  EXPECT_STREQ(names[3], "INT");
  EXPECT_EQ(sqlite_step(vm, &n, &values, &names), SQLITE_DONE);
  EXPECT_EQ(sqlite_step(vm, &n, &values, &names), SQLITE_DONE);
  EXPECT_EQ(sqlite_finalize(vm, nullptr), SQLITE_OK);

  char* error = nullptr;
  EXPECT_NE(sqlite_compile(db.get(), "select * from missing", nullptr, &vm, &error), SQLITE_OK);
  EXPECT_EQ(vm, nullptr);
  EXPECT_STREQ(error, "no such table: missing");
  sqlite_freemem(error);
  EXPECT_EQ(sqlite_compile(db.get(), "   ", nullptr, &vm, nullptr), SQLITE_OK);
  EXPECT_EQ(vm, nullptr);

  // A step that fails hands its message to the finalize.
  db.Exec("create table U ( a unique ); insert into U values ( 1 );");
  ASSERT_EQ(sqlite_compile(db.get(), "insert into U values ( 1 )", nullptr, &vm, nullptr), SQLITE_OK);
  EXPECT_NE(sqlite_step(vm, nullptr, nullptr, nullptr), SQLITE_ROW);
  error = nullptr;
  EXPECT_NE(sqlite_finalize(vm, &error), SQLITE_OK);
  EXPECT_STREQ(error, "UNIQUE constraint failed: U.a");
  sqlite_freemem(error);
}

// (The reasons opening other files fails with are ProjectDatabase's.)
TEST_F(SqliteApi, ReadOnlyOpenNeverCreatesAndAUriIsAFileName) {
  char* error = nullptr;
  EXPECT_EQ(sqlite_open(In("missing.db").c_str(), kSqliteReadOnly, &error), nullptr);
  EXPECT_NE(error, nullptr);
  sqlite_freemem(error);
  EXPECT_FALSE(fs::exists(In("missing.db")));

  // A file name that reads like a URI is a file name all the same.
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_);
  sqlite* db = sqlite_open("file:x.db?mode=ro", 0, nullptr);
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(sqlite_exec(db, "create table T ( a )", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite_close(db);
  fs::current_path(cwd);
  EXPECT_TRUE(fs::exists(dir_ / "file:x.db?mode=ro"));
}

TEST_F(SqliteApi, ViewsTriggersAndRecursionInTheFileAreRefused) {
  RawDb db(In("a.db"));
  db.Exec("create table T ( a ); create table L ( a );"
          "create view V as select a from T;"
          "create trigger G after insert on T begin insert into L values ( new.a ); end;");
  char* error = nullptr;
  EXPECT_NE(sqlite_exec(db.get(), "select * from V", nullptr, nullptr, &error), SQLITE_OK);
  sqlite_freemem(error);
  EXPECT_NE(sqlite_exec(db.get(), "insert into T values ( 1 )", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_NE(sqlite_exec(db.get(),
                        "with recursive c(x) as ( select 1 union all select x + 1 from c ) "
                        "select x from c",
                        nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_TRUE(db.Get("select a from L").empty());
}

}  // namespace
