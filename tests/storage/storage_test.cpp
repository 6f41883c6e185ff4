#include "locmodel/storage/storage.h"

#include <gtest/gtest.h>

#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "storage/storage_fixture.h"

namespace {

using namespace storage_testing;

// Inserts rows by the tool's own column lists; `values` lists the columns in
// the order of the table's create statement, after an explicit rowid.
void Item(RawDb& db, const std::string& values) {
  db.Exec("insert into res_item ( rowid, parent_key, binary_key, type, comment, res_id, tab_num, "
          "state ) values ( " + values + " )");
}
void Trans(RawDb& db, const std::string& values) {
  db.Exec("insert into trans_item ( rowid, parent_key, binary_key, type, comment, lang, status, "
          "string ) values ( " + values + " )");
}
void Prop(RawDb& db, const std::string& values) {
  db.Exec("insert into prop ( rowid, parent_key, name, type, binary_key, string, value, prop_type ) "
          "values ( " + values + " )");
}

std::string Text(const CProp* prop) { return prop ? locmodel::Utf16ToUtf8(prop->GetStr()) : "<none>"; }
std::string Name(const CResItem* item) { return locmodel::Utf16ToUtf8(item->GetComment()); }

class Storage : public StorageTest {
 protected:
  // R, A (with a text property and a translation with a property), A1 (an
  // integer property, a translation with binary data), B; then the rows
  // given in `items`, in rowid order.
  fs::path TreeDb(bool a1BeforeB) {
    const fs::path path = NewDb();
    RawDb db(path);
    db.Exec("begin");
    Item(db, "1, 9999999, 9999999, 7, 'R', '@root', 1, 2");
    Item(db, "2, 1, 9999999, 8, 'A', '#5', 0, 0");
    Item(db, a1BeforeB ? "3, 2, 9999999, 9, 'A1', '@a1', 0, 0" : "3, 1, 9999999, 9, 'B', '@b', 0, 0");
    Item(db, a1BeforeB ? "4, 1, 9999999, 9, 'B', '@b', 0, 0" : "4, 2, 9999999, 9, 'A1', '@a1', 0, 0");
    const int a1 = a1BeforeB ? 3 : 4;
    Prop(db, "1, 2, '@Color', 1, 9999999, 'red', NULL, 1");
    Prop(db, "2, " + std::to_string(a1) + ", '#7', 2, 9999999, NULL, 12, 1");
    Trans(db, "1, 2, 9999999, 0, '', 1031, 1, 'Hallo'");
    Trans(db, "2, " + std::to_string(a1) + ", 1, 0, '', 1036, 3, 'Salut'");
    Prop(db, "3, 1, '@Note', 1, 9999999, 'n', NULL, 2");
    db.Exec("insert into binary ( rowid, parent_key, num, data ) values ( 1, 9999999, 0, 'x' )");
    db.Exec("commit");
    return path;
  }
};

TEST_F(Storage, ANewFileHasTheSchemaAndNoTree) {
  const fs::path path = Path("new.db");
  RecordingSink sink;
  {
    CStorage storage(Wide(path));
    ASSERT_TRUE(storage.IsGood());
    RawDb db(path);
    EXPECT_EQ(db.Rows("select name from sqlite_master"), (std::vector<std::string>{"PROP"}));
    storage.CreateDb();
    EXPECT_EQ(db.Rows("select type, name from sqlite_master order by rowid"),
              (std::vector<std::string>{"table|PROP", "table|RES_ITEM", "table|TRANS_ITEM",
                                        "table|BINARY", "table|VAL_STORAGE",
                                        "index|val_storage_key", "index|val_storage_file"}));
    EXPECT_EQ(storage.Load(), nullptr);
  }
  // Opening it again finds PROP there, which is no error.
  EXPECT_TRUE(CStorage(Wide(path)).IsGood());
  EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(Storage, LoadsTheTreeInPreOrder) {
  RecordingSink sink;
  CStorage storage(Wide(TreeDb(true)));
  std::unique_ptr<CResItem> root(storage.Load());
  ASSERT_TRUE(root);
  EXPECT_TRUE(sink.Texts().empty());
  EXPECT_EQ(root->GetType(), 7);
  EXPECT_EQ(root->GetResId(), u"@root");
  EXPECT_EQ(root->GetTabNum(), 1);
  EXPECT_EQ(root->GetState(), 2);
  ASSERT_EQ(root->GetResItems().size(), 2u);
  const CResItem* a = root->GetResItems()[0];
  const CResItem* b = root->GetResItems()[1];
  EXPECT_EQ(Name(a), "A");
  EXPECT_EQ(Name(b), "B");
  EXPECT_EQ(a->GetResId(), u"#5");
  EXPECT_EQ(Text(a->GetPropW(CPropName(u"Color"))), "red");
  ASSERT_EQ(a->GetResItems().size(), 1u);
  const CResItem* a1 = a->GetResItems()[0];
  EXPECT_EQ(Name(a1), "A1");
  EXPECT_EQ(a1->GetParent(), a);
  ASSERT_NE(a1->GetPropW(CPropName(static_cast<CPropName::CPropId>(7))), nullptr);
  EXPECT_EQ(a1->GetPropW(CPropName(static_cast<CPropName::CPropId>(7)))->GetInt(), 12);
  EXPECT_TRUE(b->GetResItems().empty());

  const CTransItem* de = a->GetTranslation(1031);
  ASSERT_NE(de, nullptr);
  EXPECT_EQ(de->GetStr(), u"Hallo");
  EXPECT_EQ(de->GetStatus(), 1);
  EXPECT_EQ(de->GetKey(), 1);
  EXPECT_EQ(Text(de->GetPropW(CPropName(u"Note"))), "n");
  const CTransItem* fr = a1->GetTranslation(1036);
  ASSERT_NE(fr, nullptr);
  EXPECT_EQ(fr->GetStr(), u"Salut");
  EXPECT_EQ(fr->GetDataSize(), 0u);  // "x": a chain of no bytes

  EXPECT_EQ(storage.GetKey(root.get()), 1);
  EXPECT_EQ(storage.GetKey(a1), 3);
  EXPECT_EQ(storage.GetKey(nullptr), CStorage::kNoKey);
  storage.SetKey(a1, 42);
  EXPECT_EQ(storage.GetKey(a1), 42);
}

TEST_F(Storage, LoadingStopsAtAnItemWhoseParentIsOffThePath) {
  // R, A, B, A1: A1's parent A is no longer on the path when A1 comes. A1,
  // its property and its translation are not loaded (and not leaked).
  RecordingSink sink;
  CStorage storage(Wide(TreeDb(false)));
  std::unique_ptr<CResItem> root(storage.Load());
  ASSERT_TRUE(root);
  ASSERT_EQ(root->GetResItems().size(), 2u);
  EXPECT_EQ(Name(root->GetResItems()[0]), "A");
  EXPECT_EQ(Name(root->GetResItems()[1]), "B");
  EXPECT_TRUE(root->GetResItems()[0]->GetResItems().empty());
  EXPECT_TRUE(sink.Texts().empty());
}

TEST_F(Storage, AFirstRowWithAParentComesBackAlone) {
  const fs::path path = NewDb();
  {
    RawDb db(path);
    Item(db, "1, 5, 9999999, 1, 'first', '@x', 0, 0");
    Item(db, "2, 1, 9999999, 1, 'second', '@y', 0, 0");
  }
  std::unique_ptr<CResItem> item(CStorage(Wide(path)).Load());
  ASSERT_TRUE(item);
  EXPECT_EQ(Name(item.get()), "first");
  EXPECT_TRUE(item->GetResItems().empty());
}

TEST_F(Storage, NullAndEmptyColumnsReadAsTheirDefaults) {
  const fs::path path = NewDb();
  {
    RawDb db(path);
    Item(db, "1, NULL, '', NULL, NULL, NULL, '', NULL");
    Trans(db, "1, 1, NULL, NULL, NULL, NULL, '', ''");
    Trans(db, "2, 1, '', NULL, NULL, 1031, NULL, NULL");
    Prop(db, "1, 1, '@Int', 2, NULL, NULL, '', 1");
    Prop(db, "2, 1, '@Skipped', NULL, NULL, 'x', 1, 1");
    Prop(db, "3, 1, '@Other', 4, NULL, 'x', 1, 1");
    Prop(db, "4, 1, '@Bytes', 3, '', NULL, NULL, 1");
    Prop(db, "5, 1, '@Text', 1, NULL, NULL, NULL, 1");
  }
  std::unique_ptr<CResItem> item(CStorage(Wide(path)).Load());
  ASSERT_TRUE(item);
  EXPECT_EQ(item->GetType(), 9999999);
  EXPECT_EQ(item->GetComment(), u"");
  EXPECT_EQ(item->GetResId(), u"");
  EXPECT_EQ(item->GetTabNum(), 0);
  EXPECT_EQ(item->GetState(), 0);
  ASSERT_EQ(item->GetPropCont().size(), 3u);
  EXPECT_EQ(item->GetPropW(CPropName(u"Int"))->GetInt(), -1);
  EXPECT_TRUE(dynamic_cast<const CBinaryProp*>(item->GetPropW(CPropName(u"Bytes"))));
  EXPECT_EQ(Text(item->GetPropW(CPropName(u"Text"))), "");
  ASSERT_EQ(item->GetTransMap().size(), 2u);
  const CTransItem* none = item->GetTranslation(0);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->GetStatus(), 0);
  EXPECT_EQ(none->GetPropW(CPropName::PROP_TRANS_STR), nullptr);  // an empty text is not set
  EXPECT_NE(item->GetTranslation(1031), nullptr);
}

TEST_F(Storage, BinaryChainsSplitAtTheBlockSizeAndLoadJoined) {
  const fs::path path = NewDb();
  std::vector<unsigned char> data(2000000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + i / 256);
  int heads[3];
  {
    CStorage storage(Wide(path));
    storage.BeginTrans();
    EXPECT_EQ(storage.SaveBinary(data.data(), 0), CStorage::kNoKey);
    heads[0] = storage.SaveBinary(data.data(), 2000000);
    heads[1] = storage.SaveBinary(data.data(), 950000);
    heads[2] = storage.SaveBinary(data.data(), 950001);
    storage.CommitTrans();
  }
  RawDb db(path);
  std::vector<std::string> rows;
  sqlite_vm* vm = nullptr;
  ASSERT_EQ(sqlite_compile(db.get(), "select rowid, parent_key, num, data from binary order by rowid",
                           nullptr, &vm, nullptr), SQLITE_OK);
  const char** v = nullptr;
  while (sqlite_step(vm, nullptr, &v, nullptr) == SQLITE_ROW) {
    unsigned int size = 0;
    const std::unique_ptr<unsigned char[], locmodel::BufferDeleter> bytes(LoadBinary(v[3], size));
    rows.push_back(std::string(v[0]) + " " + v[1] + " " + v[2] + " " + std::to_string(size));
  }
  sqlite_finalize(vm, nullptr);
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "1 9999999 0 950000", "2 1 1 950000", "3 1 2 100000",
                      "4 9999999 0 950000",
                      "5 9999999 0 950000", "6 5 1 1"}));
  EXPECT_EQ(heads[0], 1);
  EXPECT_EQ(heads[1], 4);
  EXPECT_EQ(heads[2], 5);

  // An item owning the first chain gets all of it; a property the second.
  Item(db, "1, 9999999, 1, 0, '', '', 0, 0");
  Prop(db, "1, 1, '@Blob', 3, 4, NULL, NULL, 1");
  std::unique_ptr<CResItem> item(CStorage(Wide(path)).Load());
  ASSERT_TRUE(item);
  ASSERT_EQ(item->GetDataSize(), 2000000u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), item->GetData()));
  const CProp* blob = item->GetPropW(CPropName(u"Blob"));
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(blob->GetData(), std::vector<unsigned char>(data.begin(), data.begin() + 950000));

  CStorage storage(Wide(path));
  storage.ClearBinaryChain(1);
  EXPECT_EQ(db.Rows("select rowid from binary"), (std::vector<std::string>{"4", "5", "6"}));
  storage.ClearItems();
  EXPECT_TRUE(db.Rows("select rowid from binary union all select rowid from res_item union all "
                      "select rowid from prop").empty());
}

TEST_F(Storage, RowsOutOfStepAreNotAttached) {
  const fs::path path = NewDb();
  {
    RawDb db(path);
    Item(db, "1, 9999999, 9999999, 0, 'R', '', 0, 0");
    Item(db, "2, 1, 9999999, 0, 'A', '', 0, 0");
    // A translation of a row that does not exist holds up the cursor; so
    // does an orphan block. Two rows for one language: the later one wins.
    Trans(db, "1, 1, 9999999, 0, '', 1031, 1, 'first'");
    Trans(db, "2, 1, 9999999, 0, '', 1031, 2, 'second'");
    Trans(db, "3, 77, 9999999, 0, '', 1036, 0, 'lost'");
    Trans(db, "4, 2, 9999999, 0, '', 1036, 0, 'behind the lost one'");
    Prop(db, "1, 77, '@Lost', 1, 9999999, 'x', NULL, 1");
    db.Exec("insert into binary ( rowid, parent_key, num, data ) values ( 1, 9999999, 0, 'x' )");
  }
  std::unique_ptr<CResItem> root(CStorage(Wide(path)).Load());
  ASSERT_TRUE(root);
  ASSERT_EQ(root->GetTransMap().size(), 1u);
  EXPECT_EQ(root->GetTranslation(1031)->GetStr(), u"second");
  ASSERT_EQ(root->GetResItems().size(), 1u);
  EXPECT_TRUE(root->GetResItems()[0]->GetTransMap().empty());
}

TEST_F(Storage, AHostileChainOfNestedRowsIsRefused) {
  constexpr int kDepth = 100000;
  const fs::path path = NewDb();
  {
    RawDb db(path);
    db.Exec("begin");
    Item(db, "1, 9999999, 9999999, 0, '', '', 0, 0");
    // Rows 1..m each name the row before as parent; copying them shifted by
    // m - 1 gives rows m + 1..2m that do the same.
    for (int m = 1; m < kDepth; m *= 2) {
      db.Exec("insert into res_item ( parent_key ) select rowid + " + std::to_string(m - 1) +
              " from res_item order by rowid limit " + std::to_string(std::min(m, kDepth - m)));
    }
    db.Exec("commit");
  }
  // Deeper than a project file may nest: refused, not loaded.
  RecordingSink sink;
  EXPECT_EQ(CStorage(Wide(path)).Load(), nullptr);
  EXPECT_EQ(sink.Texts(), std::vector<std::string>{"items nest deeper than 1000 levels"});
}

TEST_F(Storage, BadFilesAreReportedAndLeftAlone) {
  RecordingSink sink;
  const fs::path text = Path("notes.txt");
  WriteBytes(text, "plain text, not a database at all");
  {
    CStorage storage(Wide(text));
    EXPECT_FALSE(storage.IsGood());
    EXPECT_EQ(storage.Load(), nullptr);
    int value = 3;
    storage.GetInt(value, u"k");
    storage.SetInt(u"k", 1);
    EXPECT_EQ(value, 3);
  }
  EXPECT_EQ(ReadBytes(text), "plain text, not a database at all");
  EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"file is not a database"}));
  sink.posted.clear();

  // Only PROP: the queries of the other tables cannot be compiled.
  const fs::path bare = Path("bare.db");
  EXPECT_EQ(CStorage(Wide(bare)).Load(), nullptr);
  EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"no such table: res_item", "no such table: trans_item",
                                                    "no such table: binary", "IO error"}));
  sink.posted.clear();

  // A database cut short after its first pages.
  const fs::path good = TreeDb(true);
  std::string bytes = ReadBytes(good);
  const fs::path cut = Path("cut.db");
  WriteBytes(cut, bytes.substr(0, 4096 * 2));
  const std::string before = ReadBytes(cut);
  {
    CStorage storage(Wide(cut), CStorage::ReadOnly);
    std::unique_ptr<CResItem> root(storage.Load());
    EXPECT_EQ(root, nullptr);
  }
  EXPECT_FALSE(sink.Texts().empty());
  EXPECT_EQ(ReadBytes(cut), before);
}

TEST_F(Storage, ValueStoreInsertsUpdatesAndFindsExactlyTheKeyGiven) {
  const fs::path path = NewDb();
  RecordingSink sink;
  CStorage storage(Wide(path));
  RawDb db(path);
  int number = 99;
  storage.GetInt(number, u"A");
  EXPECT_EQ(number, 99);
  unsigned int size = 123;
  EXPECT_EQ(storage.GetData(u"A", size), nullptr);
  EXPECT_EQ(size, 123u);
  EXPECT_FALSE(storage.IsValExists(u"A"));

  storage.SetInt(u"A", 5);
  storage.SetInt(u"A", 7);
  EXPECT_EQ(db.Rows("select val_key, file, val from val_storage"), (std::vector<std::string>{"A||7"}));
  storage.GetInt(number, u"A");
  EXPECT_EQ(number, 7);
  storage.SetInt(u"A", -3, u"file.rc");
  storage.GetInt(number, u"A", u"file.rc");
  EXPECT_EQ(number, -3);

  // Texts come back exactly, numbers-looking ones included.
  const std::u16string keys[] = {u"it's", u"'; drop table val_storage; --", u"a' or '1'='1",
                                 u"Größe ключ 键", u"/* comment", u"semi;colon"};
  const std::u16string values[] = {u"007", u"1.50", u"+5", u"1e3", u" 12 ", u"it's 'quoted'"};
  for (size_t i = 0; i < std::size(keys); ++i) storage.SetStr(keys[i], values[i], keys[(i + 1) % 6]);
  for (size_t i = 0; i < std::size(keys); ++i) {
    std::u16string out = u"unchanged";
    storage.GetStr(out, keys[i], keys[(i + 1) % 6]);
    EXPECT_EQ(out, values[i]);
    out = u"unchanged";
    storage.GetStr(out, keys[i]);  // the same key without the file is another value
    EXPECT_EQ(out, u"unchanged");
  }
  EXPECT_EQ(db.Rows("select count(*) from val_storage"), (std::vector<std::string>{"8"}));
  storage.SetStr(u"it's", u"updated", u"'; drop table val_storage; --");
  std::u16string out;
  storage.GetStr(out, u"it's", u"'; drop table val_storage; --");
  EXPECT_EQ(out, u"updated");

  const unsigned char bytes[] = {0x00, 0x01, 0x27, 0xFF};
  storage.SetData(u"bin", bytes, sizeof bytes);
  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> data(storage.GetData(u"bin", size));
  ASSERT_EQ(size, 4u);
  EXPECT_TRUE(std::equal(bytes, bytes + 4, data.get()));
  storage.SetData(u"bin", bytes, 0);
  EXPECT_EQ(db.Rows("select val from val_storage where val_key = 'bin'"), (std::vector<std::string>{"x"}));
  data.reset(storage.GetData(u"bin", size));
  EXPECT_NE(data, nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(sink.Texts().empty());

  // A stored text that is no binary encoding decodes to nothing.
  storage.SetStr(u"bad", u"\u0005\u0001\u0009");
  size = 9;
  data.reset(storage.GetData(u"bad", size));
  EXPECT_EQ(size, 0u);
}

TEST_F(Storage, SingleValueReadsReportTheirOwnFailure) {
  const fs::path path = NewDb();
  RecordingSink sink;
  RawDb db(path);
  int number = 4;
  std::u16string text = u"keep";
  unsigned int size = 8;
  GetIntVal(db.get(), u"select nothing from nowhere", number);
  GetStrVal(db.get(), u"select nothing from nowhere", text);
  EXPECT_EQ(GetBinaryVal(db.get(), u"select nothing from nowhere", size), nullptr);
  EXPECT_EQ(number, 4);
  EXPECT_EQ(text, u"keep");
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"IO error: GetIntVal", "IO error: GetStrVal",
                                                    "IO error: GetBinary"}));
  // A NULL leaves the output as it was; no row gives GetKey's "no row".
  GetIntVal(db.get(), u"select NULL", number);
  EXPECT_EQ(number, 4);
  GetIntVal(db.get(), u"select ' -12abc'", number);
  EXPECT_EQ(number, -12);
  EXPECT_EQ(GetKey(db.get(), u"select rowid from val_storage"), 9999999);
  EXPECT_FALSE(ProcessError(nullptr));
  EXPECT_EQ(sink.posted.size(), 3u);
}

TEST(StorageHelpers, LoadIntReadsLikeAtoiAndWrapsAt32Bits) {
  EXPECT_EQ(LoadInt(nullptr, 9), 9);
  EXPECT_EQ(LoadInt("", 9), 9);
  EXPECT_EQ(LoadInt("abc", 9), 0);
  EXPECT_EQ(LoadInt(" \t+42x", 9), 42);
  EXPECT_EQ(LoadInt("-2147483648", 0), INT32_MIN);
  EXPECT_EQ(LoadInt("4294967297", 0), 1);  // 2^32 + 1
  EXPECT_EQ(LoadInt("-4294967295", 0), 1);
  EXPECT_EQ(LoadInt("99999999999999999999999", 0), static_cast<int>(0xF67FFFFFu));  // mod 2^64, low 32 bits
}

TEST_F(Storage, BothDatabaseProbesKnowBothSqliteHeaders) {
  const std::string legacy = "** This file contains an SQLite 2.1 database **";
  WriteBytes(Path("short"), legacy.substr(0, 46));
  WriteBytes(Path("legacy"), legacy);
  WriteBytes(Path("unterminated"), "SQLite format 3");  // the header's NUL missing
  const struct {
    fs::path file;
    bool database;
  } cases[] = {
      {Path("short"), false}, {Path("legacy"), true},  {Path("unterminated"), false},
      {Path("missing"), false}, {NewDb(), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(IsSQLiteFormat(Wide(c.file)), c.database);
    EXPECT_EQ(locmodel::IsProjectDatabaseFile(Wide(c.file)), c.database);
  }
}

}  // namespace
