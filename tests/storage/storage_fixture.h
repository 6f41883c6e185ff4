// Shared by the storage tests: a scratch directory, a sink that records the
// storage messages, and a second connection that writes rows the way an
// older version of the tool did.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "locmodel/messages/message_proxy.h"
#include "storage/sqlite_api.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"

namespace storage_testing {

namespace fs = std::filesystem;
using namespace locmodel::sqlite_api;

struct Posted {
  std::u16string text;
  CMessagePanelMsg::CMsgType type;
  const CResItem* item;
  std::u16string first, second;
  int number;
};

// Records every message-panel notification while it lives.
class RecordingSink final : public IMessager {
 public:
  RecordingSink() { CMessageProxy::Instance().Register(*this); }
  ~RecordingSink() override { CMessageProxy::Instance().Unregister(*this); }
  void OnNotifyMsg(CMgsId id, const void* data) override {
    ASSERT_EQ(id, MessagePanel);
    const auto& m = *static_cast<const CMessagePanelMsg*>(data);
    posted.push_back({m.text, m.type, m.item, m.first, m.second, m.number});
  }
  // The texts, UTF-8, after checking that each is a plain storage error.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Posted& p : posted) {
      EXPECT_EQ(p.type, CMessagePanelMsg::Error);
      EXPECT_EQ(p.item, nullptr);
      EXPECT_TRUE(p.first.empty() && p.second.empty());
      EXPECT_EQ(p.number, -1);
      texts.push_back(locmodel::Utf16ToUtf8(p.text));
    }
    return texts;
  }
  std::vector<Posted> posted;
};

// A raw connection for building and inspecting databases.
class RawDb {
 public:
  explicit RawDb(const fs::path& path) : db_(sqlite_open(path.c_str(), 0, nullptr)) {}
  ~RawDb() { sqlite_close(db_); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << sql << ": " << (error ? error : "");
    sqlite_freemem(error);
  }
  // Every row of `sql`, columns joined by "|", NULL shown as "<null>".
  std::vector<std::string> Rows(const std::string& sql) {
    std::vector<std::string> rows;
    sqlite_exec(db_, sql.c_str(), Collect, &rows, nullptr);
    return rows;
  }
  sqlite* get() { return db_; }

 private:
  static int Collect(void* arg, int columns, char** values, char**) {
    std::string row;
    for (int i = 0; i < columns; ++i) row += (i ? "|" : "") + std::string(values[i] ? values[i] : "<null>");
    static_cast<std::vector<std::string>*>(arg)->push_back(row);
    return 0;
  }
  sqlite* db_;
};

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps runs from other checkouts at the same time apart.
    dir_ = fs::temp_directory_path() /
           ("locmodel-storage-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Path(const std::string& name) const { return dir_ / name; }
  static std::u16string Wide(const fs::path& path) { return locmodel::Utf8ToUtf16(path.string()); }
  // A new project database with every table and index.
  fs::path NewDb(const std::string& name = "project.db") {
    const fs::path path = Path(name);
    CStorage(Wide(path)).CreateDb();
    return path;
  }
  static std::string ReadBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  static void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  fs::path dir_;
};

}  // namespace storage_testing
