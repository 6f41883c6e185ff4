// Opening a project for reading leaves its folder exactly as it was: no byte,
// no modification time and no file beside it (journal, write-ahead log,
// shared memory, temporary) changes. The tests run as root, whom permission
// bits do not stop, so the folder itself is compared before and after.
#include <sys/stat.h>

#include <functional>
#include <map>

#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/project_database.h"
#include "storage/storage_fixture.h"
#include "support/item_trees.h"
#include "test_paths.h"

namespace {

using namespace storage_testing;
using locmodel::Status;

// Each file of a folder: its bytes, modification time and mode.
using Listing = std::map<std::string, std::tuple<std::string, int64_t, int64_t, unsigned>>;

Listing List(const fs::path& dir) {
  Listing listing;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    struct stat st {};
    EXPECT_EQ(lstat(entry.path().c_str(), &st), 0);
    listing[entry.path().filename().string()] = {ReadFile(entry.path()), st.st_mtim.tv_sec, st.st_mtim.tv_nsec,
                                                  st.st_mode};
  }
  return listing;
}

using ReadOnlyTest = StorageTest;

TEST_F(ReadOnlyTest, ReadingLeavesFileAndFolderAsTheyWere) {
  const Rows sql = {"insert into VAL_STORAGE values ( 'Name', '', 'value' )",
                    "insert into RES_ITEM ( parent_key, type, comment ) values ( 9999999, 1, 'root' )"};
  const struct {
    const char* kind;
    bool database;
    std::function<void(const std::string&)> make;  // given the path in the test's folder
  } cases[] = {
      {"plain", false, [&](const std::string& path) {
         ASSERT_TRUE(locmodel::SaveProject(*testing_support::MakeTree(1), Path(path)).ok()); }},
      {"gzip", false, [&](const std::string& path) {
         ASSERT_TRUE(locmodel::SaveProject(*testing_support::MakeTree(2), Path(path), {.gzip = true}).ok()); }},
      {"sqlite3", true, [&](const std::string& path) { NewDb(path, sql); }},
      {"sqlite3-wal", true, [&](const std::string& path) {
         NewDb(path, {"PRAGMA journal_mode=WAL", sql[0], sql[1]}); }},
      {"sqlite2", true, [&](const std::string& path) {
         fs::copy_file(LOCMODEL_SOURCE_DIR "/tests/fixtures/sqlite2/small.db", In(path)); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const fs::path folder = dir_ / c.kind;
    fs::create_directory(folder);
    c.make(std::string(c.kind) + "/project");
    const std::u16string path = Wide(folder / "project");
    fs::permissions(folder / "project", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const Listing before = List(folder);
    ASSERT_EQ(before.size(), 1u);

    std::unique_ptr<CResItem> root;
    const Status loaded = locmodel::LoadAnyProject(path, root);
    EXPECT_TRUE(loaded.ok() && root) << loaded.ToString();
    if (c.database) {
      int rows = 0, values = 0;
      const Status read =
          ReadEveryTable(path, [&](int64_t, const locmodel::DbCells&, const std::vector<std::string>&) { ++rows; });
      const Status listed = locmodel::ReadValueStore(path, [&](const char*, const char*, const char*) { ++values; });
      EXPECT_TRUE(read.ok() && listed.ok()) << read.ToString() << listed.ToString();
      EXPECT_TRUE(rows > 0 && values > 0);
    }
    EXPECT_EQ(List(folder), before);
    fs::permissions(folder, fs::perms::owner_all);
  }
}

}  // namespace
