// The SQLite 2 reader on files built byte by byte: the big-endian order no
// fixture has, and every kind of damage a hostile file can carry.
#include <functional>

#include "storage/sqlite2_builder.h"
#include "storage/sqlite2_schema.h"
#include "storage/storage_fixture.h"

using locmodel::Sqlite2File;
using locmodel::Status;
using Entry = Sqlite2Builder::Entry;
using Row = Sqlite2Builder::Row;
using namespace storage_testing;

namespace {

const char kSql[] = "create table Items ( a TEXT, b TEXT )";

// The reason the reader gives for `bytes`, or "ok" when it reads every row.
std::string Verdict(const std::string& bytes) {
  std::unique_ptr<Sqlite2File> file;
  Status status = Sqlite2File::OpenBytes(bytes, &file);
  if (!status.ok()) {
    EXPECT_EQ(status.kind(), Status::Kind::kMalformed);
    EXPECT_EQ(file, nullptr);
    return status.reason();
  }
  for (const auto& table : file->tables())
    if (ReadRows(*file, table, &status); !status.ok()) return "walk: " + status.reason();
  return "ok";
}

#define EXPECT_MALFORMED(bytes, words) EXPECT_NE(Verdict(bytes).find(words), std::string::npos) << Verdict(bytes)

// A file with table Items on a single leaf, its rows given as entries.
std::string OneLeaf(const std::vector<Entry>& entries, Sqlite2Builder* builder = nullptr) {
  Sqlite2Builder local;
  Sqlite2Builder& b = builder ? *builder : local;
  const uint32_t root = b.AddPage();
  b.WriteNode(root, entries);
  b.AddSchemaRow({"table", "Items", "Items", std::to_string(root), kSql});
  return b.Finish();
}

Entry RowEntry(int32_t rowid, const Row& columns) {
  return {Sqlite2Builder::Key(rowid), Sqlite2Builder::Record(columns), 0};
}

}  // namespace

TEST(Sqlite2HostileTest, BothByteOrdersReadTheSameRows) {
  const std::string long_text(3000, 'x'), longer_text(70000, 'y');
  for (const bool big : {false, true}) {
    SCOPED_TRACE(big ? "big-endian" : "little-endian");
    Sqlite2Builder b(big);
    // Two levels: an entry lives on the interior root between its leaves.
    const uint32_t left = b.AddPage(), right = b.AddPage(), root = b.AddPage();
    b.WriteNode(left, {RowEntry(-7, {"first", std::nullopt}), RowEntry(1, {"", "zweite"})});
    b.WriteNode(root, {{Sqlite2Builder::Key(3), Sqlite2Builder::Record({"middle", "3"}), left}}, right);
    b.WriteNode(right, {RowEntry(4, {long_text, "w2"}), RowEntry(5, {"w3", longer_text}),
                        {Sqlite2Builder::Key(6), "", 0}});
    b.AddSchemaRow({"table", "Items", "Items", std::to_string(root), kSql});
    // An index and a view share the schema and are no tables.
    const uint32_t index = b.AddPage();
    b.WriteNode(index, {{std::string(300, 'k') + Sqlite2Builder::Key(4), "", 0}});
    b.AddSchemaRow({"index", "items_a", "Items", std::to_string(index), "create index items_a on Items(a)"});
    b.AddSchemaRow({"view", "v", "v", "0", "create view v as select a from Items"});

    std::unique_ptr<Sqlite2File> file;
    Status status = Sqlite2File::OpenBytes(b.Finish(), &file);
    ASSERT_TRUE(status.ok()) << status.ToString();
    EXPECT_EQ(file->big_endian(), big);
    ASSERT_EQ(file->tables().size(), 1u);
    EXPECT_EQ(ReadRows(*file, *file->FindTable("ITEMS"), &status),
              (std::vector<std::pair<int32_t, Row>>{{-7, {"first", std::nullopt}}, {1, {"", "zweite"}},
                                                    {3, {"middle", "3"}}, {4, {long_text, "w2"}},
                                                    {5, {"w3", longer_text}}, {6, {std::nullopt, std::nullopt}}}));
    EXPECT_TRUE(status.ok());
  }
}

TEST(Sqlite2HostileTest, HeaderAndLengthAreChecked) {
  const std::string sound = OneLeaf({RowEntry(1, {"a", "b"})});
  ASSERT_EQ(Verdict(sound), "ok");
  std::string bad = sound;
  bad[3] = 't';
  EXPECT_MALFORMED(bad, "not an SQLite 2.1 database");
  bad = sound;
  bad[48] = 0x29;
  EXPECT_MALFORMED(bad, "byte-order mark");
  Sqlite2Builder old;
  OneLeaf({}, &old);
  old.Put32(1, 64, 3);
  EXPECT_MALFORMED(old.bytes(), "file format 3, not 4");
  EXPECT_MALFORMED("", "shorter than two pages");
  EXPECT_MALFORMED(sound.substr(0, 1024), "shorter than two pages");
  EXPECT_MALFORMED(sound + "x", "not a multiple of 1024");
}

TEST(Sqlite2HostileTest, ChildLinksCannotLoopShareOrLeaveTheFile) {
  auto with_child = [](uint32_t child, uint32_t right) {
    Sqlite2Builder b;
    const uint32_t root = b.AddPage(), leaf = b.AddPage();
    b.WriteNode(leaf, {RowEntry(1, {"a", "b"})});
    b.WriteNode(root, {{Sqlite2Builder::Key(2), Sqlite2Builder::Record({"c", "d"}), child ? child : leaf}},
                right ? right : leaf + 1);
    b.WriteNode(b.AddPage(), {RowEntry(3, {"e", "f"})});
    b.AddSchemaRow({"table", "Items", "Items", std::to_string(root), kSql});
    return std::string(b.Finish());
  };
  EXPECT_EQ(Verdict(with_child(0, 0)), "ok");
  EXPECT_MALFORMED(with_child(3, 0), "page 3 used twice");    // the root itself
  EXPECT_MALFORMED(with_child(0, 4), "page 4 used twice");    // both children the same leaf
  EXPECT_MALFORMED(with_child(1, 0), "page 1 used twice");    // the file header
  EXPECT_MALFORMED(with_child(0, 9), "page number 9 out of range");
  EXPECT_MALFORMED(with_child(2, 0), "page 2 used twice");    // the schema's root

  // A chain of interior pages deeper than any real tree.
  Sqlite2Builder deep;
  const uint32_t first = deep.page_count() + 1;
  for (uint32_t i = 0; i < 70; ++i) {
    const uint32_t page = deep.AddPage();
    deep.WriteNode(page, {{Sqlite2Builder::Key(1), "", page + 1}}, page + 1);
  }
  deep.WriteNode(deep.AddPage(), {RowEntry(1, {"a", "b"})});
  deep.AddSchemaRow({"table", "Items", "Items", std::to_string(first), kSql});
  EXPECT_MALFORMED(deep.Finish(), "deeper than 64 levels");

  // Leaves at two depths, and an empty page below the root.
  Sqlite2Builder uneven;
  const uint32_t root = uneven.AddPage(), mid = uneven.AddPage(), l1 = uneven.AddPage(),
                 l2 = uneven.AddPage(), l3 = uneven.AddPage();
  uneven.WriteNode(l1, {RowEntry(1, {"a", "b"})});
  uneven.WriteNode(root, {{Sqlite2Builder::Key(2), Sqlite2Builder::Record({"a", "b"}), l1}}, mid);
  uneven.WriteNode(mid, {{Sqlite2Builder::Key(4), Sqlite2Builder::Record({"a", "b"}), l2}}, l3);
  uneven.WriteNode(l2, {RowEntry(3, {"a", "b"})});
  uneven.WriteNode(l3, {RowEntry(5, {"a", "b"})});
  uneven.AddSchemaRow({"table", "Items", "Items", std::to_string(root), kSql});
  EXPECT_MALFORMED(uneven.Finish(), "leaves at different depths");
  uneven.WriteNode(l1, {});
  EXPECT_MALFORMED(uneven.bytes(), "empty page below the root");
}

TEST(Sqlite2HostileTest, OverflowChainsHaveExactlyTheirPages) {
  // The row spills into pages 4, 5 and 6 (3000 bytes past the 236 on the page).
  Sqlite2Builder b;
  const std::string sound = OneLeaf({RowEntry(1, {std::string(3000, 'z'), "b"})}, &b);
  ASSERT_EQ(b.page_count(), 6u);
  ASSERT_EQ(Verdict(sound), "ok");
  auto link = [&](uint32_t page, uint32_t next) {
    Sqlite2Builder copy = b;
    copy.Put32(page, 0, next);
    return copy.bytes();
  };
  EXPECT_MALFORMED(link(5, 4), "page 4 used twice");
  EXPECT_MALFORMED(link(5, 0), "overflow chain shorter than its payload");
  EXPECT_MALFORMED(link(6, 2), "overflow chain longer than its payload");
  EXPECT_MALFORMED(link(4, 77), "page number 77 out of range");
  // Data sizes are 24 bits: far more than a row may hold, or than the file has.
  Sqlite2Builder huge = b;
  huge.bytes()[2 * 1024 + 8 + 9] = '\xff';
  EXPECT_MALFORMED(huge.bytes(), "row of 16");
  Sqlite2Builder index;
  const uint32_t root = index.AddPage();
  index.WriteNode(root, {{std::string(300, 'k'), "", 0}});
  index.AddSchemaRow({"index", "i", "Items", std::to_string(root), "create index i on Items(a)"});
  index.Finish();
  index.bytes()[(root - 1) * 1024 + 8 + 8] = '\xff';
  EXPECT_MALFORMED(index.bytes(), "larger than the file");
}

TEST(Sqlite2HostileTest, CellsAndFreeBlocksStayInsideTheirPage) {
  Sqlite2Builder b;
  OneLeaf({RowEntry(1, {"a", "b"}), RowEntry(2, {"c", "d"})}, &b);  // Items root is page 3
  ASSERT_EQ(Verdict(b.bytes()), "ok");
  auto patched = [&](const std::function<void(Sqlite2Builder&)>& edit) {
    Sqlite2Builder copy = b;
    edit(copy);
    return copy.bytes();
  };
  auto patched16 = [&](uint32_t offset, uint16_t value) { return patched([&](auto& c) { c.Put16(3, offset, value); }); };
  EXPECT_MALFORMED(patched16(4, 10), "cell offset 10 out of range");
  EXPECT_MALFORMED(patched16(4, 1012), "cell offset 1012 out of range");
  EXPECT_MALFORMED(patched16(8 + 6, 8), "cells overlap");  // the list loops back
  EXPECT_MALFORMED(patched16(6, 12), "free block overlaps a cell");
  // The cells take 8..55; the free block starts at 56.
  EXPECT_MALFORMED(patched16(56, 100), "do not fill the page");
  EXPECT_MALFORMED(patched16(58, 40), "out of order or range");
  EXPECT_MALFORMED(patched16(6, 58), "out of order or range");  // not on a 4-byte boundary
  EXPECT_MALFORMED(patched16(56, 2000), "free block at 56 has a bad size");
  // A cell header near the end whose payload runs past the page.
  EXPECT_MALFORMED(patched([](auto& c) { c.Put16(3, 8 + 6, 1004), c.Put16(3, 1004 + 10, 30); }), "overruns its page");
  EXPECT_MALFORMED(patched([](auto& c) { c.Put32(3, 8, 2); }), "disagree about children");  // a leaf cell's child
  // A wiped root is not an empty table.
  EXPECT_MALFORMED(patched([](auto& c) { c.WriteNode(3, {}), c.Put16(3, 6, 0); }), "do not fill the page");
}

TEST(Sqlite2HostileTest, KeysAndRecordsAreChecked) {
  const auto key = Sqlite2Builder::Key;
  EXPECT_EQ(Verdict(OneLeaf({{key(1), "", 0}})), "ok");  // an empty record: all NULL
  EXPECT_MALFORMED(OneLeaf({{"abc", Sqlite2Builder::Record({"a", "b"}), 0}}), "key of 3 bytes");
  EXPECT_MALFORMED(OneLeaf({RowEntry(2, {"a", "b"}), RowEntry(2, {"c", "d"})}), "rowid 2 after 2");
  EXPECT_MALFORMED(OneLeaf({RowEntry(1, {"a", "b", "c"})}), "record does not hold 2 columns");
  const std::string sound = Sqlite2Builder::Record({"ab", "cd"});  // offsets 3 6 9
  const std::tuple<size_t, char, const char*> damage[] = {
      {2, 10, "past the record"}, {1, 2, "out of order"}, {5, 'x', "not a NUL-terminated text"},
      {3, '\0', "not a NUL-terminated text"}};
  for (const auto& [at, byte, words] : damage) {
    std::string bad = sound;
    bad[at] = byte;
    EXPECT_MALFORMED(OneLeaf({{key(1), bad, 0}}), words);
  }
}

TEST(Sqlite2HostileTest, SchemaRowsAreChecked) {
  auto with_schema = [](const Row& row, bool second_table = false) {
    Sqlite2Builder b;
    b.AddTable("Items", kSql, {{1, {"a", "b"}}});
    if (second_table) b.AddTable("ITEMS", kSql, {});
    b.AddSchemaRow(row);
    return std::string(b.Finish());
  };
  EXPECT_EQ(Verdict(with_schema({"trigger", "t", "Items", "0", "create trigger t ..."})), "ok");
  EXPECT_MALFORMED(with_schema({"index", "i", "Items", "3x", std::nullopt}), "root page of 'i' is not a number");
  EXPECT_MALFORMED(with_schema({"index", "i", "Items", "-3", std::nullopt}), "not a number");
  EXPECT_MALFORMED(with_schema({"index", "i", "Items", "3", std::nullopt}), "page 3 used twice");
  EXPECT_MALFORMED(with_schema({"index", "i", "Items", "99", std::nullopt}), "page number 99 out of range");
  EXPECT_MALFORMED(with_schema({"table", "T", "T", "0", kSql}), "table 'T' has no root page");
  EXPECT_MALFORMED(with_schema({"table", "T\nX", "T", "3", "create table T"}),
                   "table 'T?X' has no root page or no columns");
  EXPECT_MALFORMED(with_schema({"view", "v", "v", "0", ""}, true), "table 'ITEMS' defined twice");

  using locmodel::sqlite2::ColumnNames;
  EXPECT_EQ(ColumnNames("create table t ( a INT,\n\t\"b c\" TEXT, d\tDECIMAL(10,2) DEFAULT 'x,y',\r\n"
                        "PRIMARY KEY(a, d),\f[e]\vx, check(a > 0) )"),
            (Rows{"a", "b c", "d", "e"}));
  EXPECT_TRUE(ColumnNames("create table t ( a, )").empty());
}

TEST(Sqlite2HostileTest, FreeListIsCountedAndCannotLoop) {
  auto with_free_list = [](uint32_t count, uint32_t trunk_next, uint32_t leaves, uint32_t leaf) {
    Sqlite2Builder b;
    b.AddTable("Items", kSql, {{1, {"a", "b"}}});  // page 3
    const uint32_t trunk = b.AddPage();            // page 4
    b.AddPage();                                   // page 5, a free leaf
    b.Put32(trunk, 0, trunk_next);
    b.Put32(trunk, 4, leaves);
    b.Put32(trunk, 8, leaf);
    b.Finish();
    b.Put32(1, 52, trunk);
    b.Put32(1, 56, count);
    return b.bytes();
  };
  EXPECT_EQ(Verdict(with_free_list(2, 0, 1, 5)), "ok");
  EXPECT_MALFORMED(with_free_list(3, 0, 1, 5), "free list holds 2 pages, the header says 3");
  EXPECT_MALFORMED(with_free_list(2, 4, 1, 5), "page 4 used twice (free list)");
  EXPECT_MALFORMED(with_free_list(2, 0, 1, 3), "page 3 used twice (free list)");
  EXPECT_MALFORMED(with_free_list(2, 0, 255, 5), "lists 255 pages");
}

using Sqlite2HostileFiles = StorageTest;

TEST_F(Sqlite2HostileFiles, JournalsAndChangesBehindTheReader) {
  Sqlite2Builder b;
  const std::string path = WriteFile(In("project.db"), OneLeaf({RowEntry(1, {"a", "b"}), RowEntry(2, {std::string(2000, 'q'), "b"})}, &b));
  std::unique_ptr<Sqlite2File> file, refused;
  EXPECT_EQ(Sqlite2File::Open(Path("missing.db"), &file).kind(), Status::Kind::kCannotOpen);
  EXPECT_EQ(Sqlite2File::Open(Wide(dir_), &file).kind(), Status::Kind::kCannotOpen);
  WriteFile(In("project.db-journal"), std::string());
  EXPECT_TRUE(Sqlite2File::Open(Wide(path), &file).ok());
  WriteFile(In("project.db-journal"), std::string("rollback data"));
  EXPECT_EQ(Sqlite2File::Open(Wide(path), &refused).reason(),
            "malformed legacy database: unfinished transaction: a journal file lies beside it");
  EXPECT_EQ(refused, nullptr);

  // The file shrinks after it was checked: the walk reports it and stops.
  ASSERT_NE(file, nullptr);
  WriteFile(path, b.bytes().substr(0, 3 * 1024));
  auto rows = file->Rows(file->tables()[0]);
  EXPECT_TRUE(rows.Next());
  EXPECT_FALSE(rows.Next());
  EXPECT_EQ(rows.status().ToString(), "malformed legacy database: page 4 cannot be read");
  EXPECT_FALSE(rows.Next());
}
