#include "locmodel/storage/storage.h"

#include <array>

#include "cli/prop_json.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/project_database.h"
#include "storage/storage_fixture.h"

namespace {

using namespace storage_testing;

// Inserts by the tool's own column lists; the values list the columns in the
// order of the table's create statement, after an explicit rowid.
auto Inserter(const std::string& columns) {
  return [columns](const std::string& values) { return "insert into " + columns + " values ( " + values + " )"; };
}
const auto Item = Inserter("res_item ( rowid, parent_key, binary_key, type, comment, res_id, tab_num, state )");
const auto Trans = Inserter("trans_item ( rowid, parent_key, binary_key, type, comment, lang, status, string )");
const auto Prop = Inserter("prop ( rowid, parent_key, name, type, binary_key, string, value, prop_type )");
const char kBlock[] = "insert into binary ( rowid, parent_key, num, data ) values ( 1, 9999999, 0, 'x' )";

// A tree on one line: "comment type resId tab state", the properties
// (binary ones marked x), translations as [lang status key props], children
// in braces.
std::string Outline(const CResItem* item) {
  if (!item) return "<none>";
  auto props = [](const CPropContainer& owner) {
    std::string out;
    for (const auto& [name, prop] : owner.GetPropCont()) {
      out += " " + locmodel::Utf16ToUtf8(name.ToString()) + "=" + (dynamic_cast<const CBinaryProp*>(prop) ? "x" : "");
      locmodel::cli::AppendPropValue(out, *prop);
    }
    return out;
  };
  std::string out = locmodel::Utf16ToUtf8(item->GetComment()) + " " + std::to_string(item->GetType()) + " " +
                    locmodel::Utf16ToUtf8(item->GetResId()) + " " + std::to_string(item->GetTabNum()) + " " +
                    std::to_string(item->GetState()) + props(*item);
  for (const auto& [lang, trans] : item->GetTransMap())
    out += " [" + std::to_string(lang) + " " + std::to_string(trans->GetStatus()) + " " +
           std::to_string(trans->GetKey()) + props(*trans) + "]";
  if (item->GetResItems().empty()) return out;
  out += " {";
  for (const CResItem* child : item->GetResItems()) out += (out.back() == '{' ? "" : ", ") + Outline(child);
  return out + "}";
}

using Storage = StorageTest;

// R, A (a text property, a translation with a property), A1 (an integer
// property, a translation with an empty block), B.
const Rows kTree = {
    Item("1, 9999999, 9999999, 7, 'R', '@root', 1, 2"), Item("2, 1, 9999999, 8, 'A', '#5', 0, 0"),
    Item("3, 2, 9999999, 9, 'A1', '@a1', 0, 0"),        Item("4, 1, 9999999, 9, 'B', '@b', 0, 0"),
    Prop("1, 2, '@Color', 1, 9999999, 'red', NULL, 1"),  Prop("2, 3, '#7', 2, 9999999, NULL, 12, 1"),
    Trans("1, 2, 9999999, 0, '', 1031, 1, 'Hallo'"),     Trans("2, 3, 1, 0, '', 1036, 3, 'Salut'"),
    Prop("3, 1, '@Note', 1, 9999999, 'n', NULL, 2"),     kBlock};

TEST_F(Storage, ANewFileHasTheSchemaAndNoTree) {
  RecordingSink sink;
  {
    CStorage storage(Path("new.db"));
    ASSERT_TRUE(storage.IsGood());
    RawDb db(In("new.db"));
    EXPECT_EQ(db.Get("select name from sqlite_master"), Rows{"PROP"});
    storage.CreateDb();
    EXPECT_EQ(db.Get("select type, name from sqlite_master order by rowid"),
              (Rows{"table|PROP", "table|RES_ITEM", "table|TRANS_ITEM", "table|BINARY", "table|VAL_STORAGE",
                    "index|val_storage_key", "index|val_storage_file"}));
    EXPECT_EQ(storage.Load(), nullptr);
  }
  EXPECT_TRUE(CStorage(Path("new.db")).IsGood());  // finding PROP there is no error
  EXPECT_TRUE(sink.texts.empty());
}

// Each case also gives what Load counts as left out of its tree: items,
// translations, properties and blocks.
TEST_F(Storage, LoadsTheTreeRowsInTreeOrderAndCountsRowsOutOfStep) {
  const struct {
    Rows rows;
    const char* outline;
    std::array<size_t, 4> dropped;
  } cases[] = {
      {kTree, "R 7 @root 1 2 {A 8 #5 0 0 @Color=\"red\" [1031 1 1 @Note=\"n\" #2=\"Hallo\"] "
              "{A1 9 @a1 0 0 #7=12 [1036 3 2 #1=x\"\" #2=\"Salut\"]}, B 9 @b 0 0}", {0, 0, 0, 0}},
      // A1 after B: its parent is off the path; it is not loaded (nor leaked),
      // nor is any item after it. Its translation's block counts under it.
      {{kTree[0], kTree[1], Item("3, 1, 9999999, 9, 'B', '@b', 0, 0"), Item("4, 2, 9999999, 9, 'A1', '', 0, 0"),
        Prop("1, 4, '#7', 2, 9999999, NULL, 12, 1"), Trans("1, 4, 1, 0, '', 1036, 3, 'Salut'"), kBlock,
        Item("5, 1, 9999999, 9, 'C', '@c', 0, 0")},
       "R 7 @root 1 2 {A 8 #5 0 0, B 9 @b 0 0}", {2, 1, 1, 0}},
      // A first row with a parent comes back alone.
      {{Item("1, 5, 9999999, 1, 'first', '@x', 0, 0"), Item("2, 1, 9999999, 1, 'second', '@y', 0, 0")},
       "first 1 @x 0 0", {1, 0, 0, 0}},
      // NULL and empty columns read as defaults; unknown property types and
      // kinds are skipped; an empty text is not set; of two properties of one
      // name the later wins; a text's block is read past.
      {{Item("1, NULL, '', NULL, NULL, NULL, '', NULL"), Trans("1, 1, NULL, NULL, NULL, NULL, '', ''"),
        Trans("2, 1, '', NULL, NULL, 1031, NULL, NULL"), Prop("1, 1, '@Int', 2, NULL, NULL, '', 1"),
        Prop("2, 1, '@Skipped', NULL, NULL, 'x', 1, 1"), Prop("3, 1, '@Other', 4, NULL, 'x', 1, 1"),
        Prop("4, 1, '@Bytes', 3, '', NULL, NULL, 1"), Prop("5, 1, '@Text', 1, NULL, NULL, NULL, 1"),
        Prop("6, 1, '@Kind', 1, NULL, 'k', NULL, 5"), Prop("7, 1, '@Int', 2, NULL, NULL, 3, 1"),
        Prop("8, 1, '@Block', 1, 1, 'b', NULL, 1"), kBlock},
       " 9999999  0 0 @Block=\"b\" @Bytes=x\"\" @Int=3 @Text=\"\" [0 0 1] [1031 0 2]", {0, 0, 4, 1}},
      // A translation of a missing row holds up its cursor, as does an orphan
      // block; of two rows for one language the later wins, without the
      // earlier's properties.
      {{Item("1, 9999999, 9999999, 0, 'R', '', 0, 0"), Item("2, 1, 9999999, 0, 'A', '', 0, 0"),
        Trans("1, 1, 9999999, 0, '', 1031, 1, 'first'"), Trans("2, 1, 9999999, 0, '', 1031, 2, 'second'"),
        Trans("3, 77, 9999999, 0, '', 1036, 0, 'lost'"), Trans("4, 2, 9999999, 0, '', 1036, 0, 'behind'"),
        Prop("1, 77, '@Lost', 1, 9999999, 'x', NULL, 1"), Prop("2, 1, '@D', 1, 9999999, 'd', NULL, 2"), kBlock},
       "R 0  0 0 [1031 2 2 #2=\"second\"] {A 0  0 0}", {0, 3, 2, 1}},
  };
  RecordingSink sink;
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].outline);
    CStorage storage(Wide(NewDb(std::to_string(i), cases[i].rows)));
    CStorage::UnattachedRows dropped{9, 9, 9, 9};
    // Counting what is left out changes nothing of what is loaded.
    for (CStorage::UnattachedRows* count : {static_cast<CStorage::UnattachedRows*>(nullptr), &dropped}) {
      const std::unique_ptr<CResItem> root(storage.Load(count));
      EXPECT_EQ(Outline(root.get()), cases[i].outline);
    }
    EXPECT_EQ((std::array{dropped.items, dropped.translations, dropped.props, dropped.binaries}), cases[i].dropped);
  }
  EXPECT_TRUE(sink.texts.empty());

  CStorage storage(Path("0"));
  const std::unique_ptr<CResItem> root(storage.Load());
  ASSERT_EQ(Outline(root.get()), cases[0].outline);
  const CResItem* a1 = root->GetResItems()[0]->GetResItems()[0];
  EXPECT_EQ(std::tuple(storage.GetKey(root.get()), storage.GetKey(a1), storage.GetKey(nullptr)),
            std::tuple(1, 3, CStorage::kNoKey));
  storage.SetKey(a1, 42);
  EXPECT_EQ(storage.GetKey(a1), 42);
}

TEST_F(Storage, BinaryChainsSplitAtTheBlockSizeAndLoadJoined) {
  const fs::path path = NewDb();
  std::vector<unsigned char> data(2000000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + i / 256);
  {
    CStorage storage(Wide(path));
    storage.BeginTrans();
    EXPECT_EQ(storage.SaveBinary(data.data(), 0), CStorage::kNoKey);
    EXPECT_EQ(storage.SaveBinary(data.data(), 2000000), 1);
    EXPECT_EQ(storage.SaveBinary(data.data(), 950000), 4);
    EXPECT_EQ(storage.SaveBinary(data.data(), 950001), 5);
    storage.CommitTrans();
  }
  RawDb db(path);
  Rows blocks;  // the decoded size in place of the data
  for (const std::string& row : db.Get("select rowid, parent_key, num, data from binary")) {
    size_t data = 0;
    for (int i = 0; i < 3; ++i) data = row.find('|', data) + 1;
    unsigned int size = 0;
    const std::unique_ptr<unsigned char[], locmodel::BufferDeleter> bytes(LoadBinary(row.c_str() + data, size));
    blocks.push_back(row.substr(0, data) + std::to_string(size));
  }
  EXPECT_EQ(blocks, (Rows{"1|9999999|0|950000", "2|1|1|950000", "3|1|2|100000", "4|9999999|0|950000",
                          "5|9999999|0|950000", "6|5|1|1"}));

  // An item owning the first chain gets all of it; a property the second.
  db.Exec(Item("1, 9999999, 1, 0, '', '', 0, 0") + ";" + Prop("1, 1, '@Blob', 3, 4, NULL, NULL, 1"));
  std::unique_ptr<CResItem> item(CStorage(Wide(path)).Load());
  ASSERT_TRUE(item && item->GetDataSize() == 2000000u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), item->GetData()));
  const CProp* blob = item->GetPropW(CPropName(u"Blob"));
  ASSERT_NE(blob, nullptr);
  EXPECT_EQ(blob->GetData(), std::vector<unsigned char>(data.begin(), data.begin() + 950000));

  CStorage storage(Wide(path));
  storage.ClearBinaryChain(1);
  EXPECT_EQ(db.Get("select rowid from binary"), (Rows{"4", "5", "6"}));
  storage.ClearItems();
  EXPECT_TRUE(db.Get("select rowid from binary union all select rowid from res_item union all "
                     "select rowid from prop").empty());
}

// (Files without the project tables are ProjectDatabase's; trees nested too
// deeply HostileDatabaseTest's.)
TEST_F(Storage, BadFilesAreReportedAndLeftAlone) {
  RecordingSink sink;
  const std::string text = WriteFile(In("notes.txt"), std::string("plain text, not a database at all"));
  {
    CStorage storage(Path("notes.txt"));
    EXPECT_FALSE(storage.IsGood());
    EXPECT_EQ(storage.Load(), nullptr);
    int value = 3;
    storage.SetInt(u"k", 1);
    storage.GetInt(value, u"k");
    EXPECT_EQ(value, 3);
  }
  EXPECT_EQ(ReadFile(text), "plain text, not a database at all");
  EXPECT_EQ(sink.texts, Rows{"file is not a database"});
  sink.texts.clear();

  // A database cut short after its first pages.
  const std::string before = ReadFile(NewDb("whole.db", kTree)).substr(0, 4096 * 2);
  const std::string cut = WriteFile(In("cut.db"), before);
  EXPECT_EQ(std::unique_ptr<CResItem>(CStorage(Wide(cut), CStorage::ReadOnly).Load()), nullptr);
  EXPECT_FALSE(sink.texts.empty());
  EXPECT_EQ(ReadFile(cut), before);
}

TEST_F(Storage, ValueStoreInsertsUpdatesAndFindsExactlyTheKeyGiven) {
  const fs::path path = NewDb();
  RecordingSink sink;
  CStorage storage(Wide(path));
  RawDb db(path);
  int number = 99;
  unsigned int size = 123;
  storage.GetInt(number, u"A");
  EXPECT_EQ(storage.GetData(u"A", size), nullptr);
  EXPECT_EQ(std::tuple(number, size, storage.IsValExists(u"A")), std::tuple(99, 123u, false));

  storage.SetInt(u"A", 5);
  storage.SetInt(u"A", 7);
  EXPECT_EQ(db.Get("select val_key, file, val from val_storage"), Rows{"A||7"});
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
  storage.SetStr(keys[0], u"updated", keys[1]);
  for (size_t i = 0; i < std::size(keys); ++i) {
    std::u16string out = u"unchanged", without = u"unchanged";
    storage.GetStr(out, keys[i], keys[(i + 1) % 6]);
    storage.GetStr(without, keys[i]);  // the same key without the file is another value
    EXPECT_EQ(out, i ? values[i] : u"updated");
    EXPECT_EQ(without, u"unchanged");
  }
  EXPECT_EQ(db.Get("select count(*) from val_storage"), Rows{"8"});

  const unsigned char bytes[] = {0x00, 0x01, 0x27, 0xFF};
  storage.SetData(u"bin", bytes, sizeof bytes);
  std::unique_ptr<unsigned char[], locmodel::BufferDeleter> data(storage.GetData(u"bin", size));
  ASSERT_EQ(size, 4u);
  EXPECT_TRUE(std::equal(bytes, bytes + 4, data.get()));
  storage.SetData(u"bin", bytes, 0);
  EXPECT_EQ(db.Get("select val from val_storage where val_key = 'bin'"), Rows{"x"});
  data.reset(storage.GetData(u"bin", size));
  EXPECT_TRUE(data != nullptr && size == 0u);
  EXPECT_TRUE(sink.texts.empty());

  // A stored text that is no binary encoding decodes to nothing.
  storage.SetStr(u"bad", u"\u0005\u0001\u0009");
  size = 9;
  data.reset(storage.GetData(u"bad", size));
  EXPECT_EQ(size, 0u);
}

TEST_F(Storage, SingleValueReadsReportTheirOwnFailure) {
  RecordingSink sink;
  RawDb db(NewDb());
  int number = 4;
  std::u16string text = u"keep";
  unsigned int size = 8;
  GetIntVal(db.get(), u"select nothing from nowhere", number);
  GetStrVal(db.get(), u"select nothing from nowhere", text);
  EXPECT_EQ(GetBinaryVal(db.get(), u"select nothing from nowhere", size), nullptr);
  EXPECT_EQ(std::tuple(number, text, size), std::tuple(4, u"keep", 8u));
  EXPECT_EQ(sink.texts, (Rows{"IO error: GetIntVal", "IO error: GetStrVal", "IO error: GetBinary"}));
  // A NULL leaves the output as it was; no row gives GetKey's "no row".
  GetIntVal(db.get(), u"select NULL", number);
  EXPECT_EQ(number, 4);
  GetIntVal(db.get(), u"select ' -12abc'", number);
  EXPECT_EQ(number, -12);
  EXPECT_EQ(GetKey(db.get(), u"select rowid from val_storage"), 9999999);
  EXPECT_FALSE(ProcessError(nullptr));
  EXPECT_EQ(sink.texts.size(), 3u);

  // Integers read like atoi and wrap at 32 bits.
  const std::pair<const char*, int> ints[] = {
      {nullptr, 9}, {"", 9}, {"abc", 0}, {" \t+42x", 42}, {"-2147483648", INT32_MIN}, {"4294967297", 1},
      {"-4294967295", 1}, {"99999999999999999999999", static_cast<int>(0xF67FFFFFu)}};  // mod 2^64
  for (const auto& [digits, value] : ints) EXPECT_EQ(LoadInt(digits, 9), value) << (digits ? digits : "null");
}

TEST_F(Storage, BothDatabaseProbesKnowBothSqliteHeaders) {
  const std::string legacy = "** This file contains an SQLite 2.1 database **";
  const std::pair<fs::path, bool> cases[] = {
      {WriteFile(In("short"), legacy.substr(0, 46)), false}, {WriteFile(In("legacy"), legacy), true},
      {WriteFile(In("unterminated"), std::string("SQLite format 3")), false},  // the header's NUL missing
      {In("missing"), false}, {NewDb(), true}};
  for (const auto& [file, database] : cases) {
    EXPECT_EQ(IsSQLiteFormat(Wide(file)), database) << file;
    EXPECT_EQ(locmodel::IsProjectDatabaseFile(Wide(file)), database) << file;
  }
}

}  // namespace
