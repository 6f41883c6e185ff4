// Load's count of the rows its tree leaves out, per table.
#include <tuple>

#include "locmodel/items/res_item.h"
#include "locmodel/storage/storage.h"
#include "storage/storage_fixture.h"

namespace {

using namespace storage_testing;

const std::string kItem = "insert into res_item ( rowid, parent_key, binary_key, comment ) values ( ";
const std::string kTrans = "insert into trans_item ( rowid, parent_key, binary_key, lang, string ) values ( ";
const std::string kProp = "insert into prop ( rowid, parent_key, name, type, binary_key, string, prop_type ) values ( ";
const std::string kBlock = "insert into binary ( rowid, parent_key, num, data ) values ( ";
// Root 1 with child 2, each with a translation, a property and a block.
const Rows kTree = {kItem + "1, 9999999, 1, 'R' )",  kItem + "2, 1, 2, 'A' )",
                    kTrans + "1, 1, 9999999, 1031, 'r' )", kTrans + "2, 2, 9999999, 1031, 'a' )",
                    kProp + "1, 1, '@P', 1, 9999999, 'p', 1 )",  kProp + "2, 2, '@P', 1, 9999999, 'p', 1 )",
                    kBlock + "1, 9999999, 0, 'xa' )",         kBlock + "2, 9999999, 0, 'xb' )"};

Rows With(Rows rows, const Rows& more) {
  rows.insert(rows.end(), more.begin(), more.end());
  return rows;
}

using UnattachedRows = StorageTest;

TEST_F(UnattachedRows, LoadCountsWhatItsTreeLeavesOut) {
  const struct {
    const char* what;
    Rows rows;
    size_t items, translations, props, binaries;
  } cases[] = {
      {"everything attached", kTree, 0, 0, 0, 0},
      {"rows behind the cursors", With(kTree, {kTrans + "3, 1, 9999999, 1036, 'late' )", kBlock + "3, 9999999, 0, 'xc' )",
                                               kProp + "3, 99, '@Q', 1, 9999999, 'q', 2 )"}), 0, 1, 1, 1},
      {"an item off the path and all after it",
       With(kTree, {kItem + "3, 77, 9999999, 'off' )", kTrans + "3, 3, 9999999, 1031, 'o' )",
                    kProp + "3, 3, '@P', 1, 9999999, 'o', 1 )", kProp + "4, 3, '@Q', 1, 9999999, 'o', 1 )",
                    kItem + "4, 1, 9999999, 'after' )"}), 2, 1, 2, 0},
      {"the earlier of two rows for one language or one name, unknown classes and kinds",
       {kItem + "1, 9999999, 9999999, 'R' )", kTrans + "1, 1, 9999999, 1031, 'first' )",
        kProp + "1, 1, '@D', 1, 9999999, 'd', 2 )", kTrans + "2, 1, 9999999, 1031, 'second' )",
        kProp + "2, 1, '@P', 1, 9999999, 'a', 1 )", kProp + "3, 1, '@P', 1, 1, 'b', 1 )",
        kProp + "4, 1, '@U', 9, 9999999, 'u', 1 )", kProp + "5, 1, '@K', 1, 9999999, 'k', 5 )",
        kBlock + "1, 9999999, 0, 'xb' )"},
       0, 1, 4, 1},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].what);
    CStorage storage(Wide(NewDb(std::to_string(i), cases[i].rows)), CStorage::ReadOnly);
    CStorage::UnattachedRows rows{9, 9, 9, 9};
    const std::unique_ptr<CResItem> root(storage.Load(&rows));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(std::tuple(rows.items, rows.translations, rows.props, rows.binaries),
              std::tuple(cases[i].items, cases[i].translations, cases[i].props, cases[i].binaries));
  }
}

}  // namespace
