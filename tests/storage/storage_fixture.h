// Shared by the storage tests: a scratch folder, a sink that records the
// storage messages, and a second connection that writes rows the way an
// older version of the tool did.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "locmodel/messages/message_proxy.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"
#include "storage/sqlite_api.h"
#include "support/temp_dir.h"

namespace storage_testing {

namespace fs = std::filesystem;
using namespace locmodel::sqlite_api;
using Rows = std::vector<std::string>;
using testing_support::ReadFile;
using testing_support::WriteFile;

inline std::u16string Wide(const fs::path& path) { return locmodel::Utf8ToUtf16(path.string()); }

// Records the text of every message-panel notification while it lives; each
// must be a plain storage error.
class RecordingSink final : public IMessager {
 public:
  RecordingSink() { CMessageProxy::Instance().Register(*this); }
  ~RecordingSink() override { CMessageProxy::Instance().Unregister(*this); }
  void OnNotifyMsg(CMgsId id, const void* data) override {
    const auto& m = *static_cast<const CMessagePanelMsg*>(data);
    EXPECT_TRUE(id == MessagePanel && m.type == CMessagePanelMsg::Error && m.item == nullptr &&
                m.first.empty() && m.second.empty() && m.number == -1);
    texts.push_back(locmodel::Utf16ToUtf8(m.text));
  }
  Rows texts;  // UTF-8
};

// A raw connection for building and inspecting databases.
class RawDb {
 public:
  explicit RawDb(const fs::path& path) : db_(sqlite_open(path.c_str(), 0, nullptr)) {}
  ~RawDb() { sqlite_close(db_); }
  void Exec(const std::string& sql) {
    char* error = nullptr;
    EXPECT_EQ(sqlite_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << sql << ": " << (error ? error : "");
    sqlite_freemem(error);
  }
  // Every row of `sql`, columns joined by "|", NULL shown as "<null>".
  Rows Get(const std::string& sql) {
    Rows rows;
    sqlite_exec(db_, sql.c_str(), [](void* arg, int columns, char** values, char**) {
      std::string row;
      for (int i = 0; i < columns; ++i) row += (i ? "|" : "") + std::string(values[i] ? values[i] : "<null>");
      static_cast<Rows*>(arg)->push_back(row);
      return 0;
    }, &rows, nullptr);
    return rows;
  }
  sqlite* get() { return db_; }

 private:
  sqlite* db_;
};

// Reads every project table of the database at `path` through `sink`; the
// first failure ends it.
inline locmodel::Status ReadEveryTable(const std::u16string& path, const locmodel::DbRowSink& sink) {
  locmodel::ProjectTables tables;
  locmodel::Status read = tables.Open(path);
  for (const char* name : locmodel::kProjectTables)
    if (read.ok()) read = tables.Read(name, sink);
  return read;
}

class StorageTest : public testing_support::TempDirTest {
 protected:
  // A new project database with every table and index, then `sql` run on it.
  fs::path NewDb(const std::string& name = "project.db", const Rows& sql = {}) {
    CStorage(Path(name)).CreateDb();
    RawDb db(In(name));
    for (const std::string& statement : sql) db.Exec(statement);
    return In(name);
  }
};

}  // namespace storage_testing
