// Opening a project for reading leaves its folder exactly as it was: no byte,
// no modification time and no file beside it (journal, write-ahead log,
// shared memory, temporary) changes. The tests run as root, whom permission
// bits do not stop, so the folder itself is compared before and after.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/storage/storage.h"
#include "storage/storage_fixture.h"
#include "support/item_trees.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using locmodel::Status;

// Each file of a folder: its bytes, modification time and mode.
using Listing = std::map<std::string, std::tuple<std::string, int64_t, int64_t, unsigned>>;

Listing List(const fs::path& dir) {
  Listing listing;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    struct stat st {};
    EXPECT_EQ(lstat(entry.path().c_str(), &st), 0);
    listing[entry.path().filename().string()] = {testing_support::ReadFile(entry.path()), st.st_mtim.tv_sec,
                                                  st.st_mtim.tv_nsec, st.st_mode};
  }
  return listing;
}

class ReadOnlyTest : public testing_support::TempDirTest {
 protected:
  // A SQLite 3 project database with an item and a value.
  void MakeDatabase(const std::string& path, bool wal) {
    {
      CStorage storage(locmodel::Utf8ToUtf16(path));
      storage.CreateDb();
      storage.SetStr(u"Name", u"value");
    }
    storage_testing::RawDb db(path);
    if (wal) db.Exec("PRAGMA journal_mode=WAL");
    db.Exec("insert into RES_ITEM ( parent_key, type, comment ) values ( 9999999, 1, 'root' )");
  }
};

TEST_F(ReadOnlyTest, ReadingLeavesFileAndFolderAsTheyWere) {
  const std::string legacy = std::string(LOCMODEL_SOURCE_DIR) + "/tests/fixtures/sqlite2/small.db";
  const struct {
    const char* kind;
    bool database;
    std::function<void(const std::string&)> make;
  } cases[] = {
      {"plain", false,
       [](const std::string& path) {
         ASSERT_TRUE(locmodel::SaveProject(*testing_support::MakeTree(1), locmodel::Utf8ToUtf16(path)).ok());
       }},
      {"gzip", false,
       [](const std::string& path) {
         locmodel::SaveOptions options;
         options.gzip = true;
         ASSERT_TRUE(locmodel::SaveProject(*testing_support::MakeTree(2), locmodel::Utf8ToUtf16(path), options).ok());
       }},
      {"sqlite3", true, [this](const std::string& path) { MakeDatabase(path, false); }},
      {"sqlite3-wal", true, [this](const std::string& path) { MakeDatabase(path, true); }},
      {"sqlite2", true, [&legacy](const std::string& path) { fs::copy_file(legacy, path); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const fs::path folder = dir_ / c.kind;
    fs::create_directory(folder);
    const std::string file = (folder / "project").string();
    c.make(file);
    const std::u16string path = locmodel::Utf8ToUtf16(file);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const Listing before = List(folder);
    ASSERT_EQ(before.size(), 1u);

    std::unique_ptr<CResItem> root;
    const Status loaded = locmodel::LoadAnyProject(path, root);
    EXPECT_TRUE(loaded.ok()) << loaded.ToString();
    EXPECT_NE(root, nullptr);
    if (c.database) {
      locmodel::ProjectTables tables;
      Status read = tables.Open(path);
      int rows = 0;
      for (const char* name : locmodel::kProjectTables) {
        if (read.ok())
          read = tables.Read(name, [&](int64_t, const locmodel::DbCells&, const std::vector<std::string>&) { ++rows; });
      }
      EXPECT_TRUE(read.ok()) << read.ToString();
      EXPECT_GT(rows, 0);
      int values = 0;
      const Status listed = locmodel::ReadValueStore(path, [&](const char*, const char*, const char*) { ++values; });
      EXPECT_TRUE(listed.ok()) << listed.ToString();
      EXPECT_GT(values, 0);
    }
    EXPECT_EQ(List(folder), before);
    fs::permissions(folder, fs::perms::owner_all);
  }
}

}  // namespace
