// The database the storage benchmarks work on: 100,000 resource items (3
// translations and 2 properties each, a binary chain on every 50th item),
// built once per run in the order Load needs.
#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"

namespace bench_storage {

inline constexpr int kItems = 100000;
inline constexpr int kFiles = 100;
inline constexpr int kNoKey = CStorage::kNoKey;

// Runs one prepared statement per row.
class Inserter {
 public:
  Inserter(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Inserter() { sqlite3_finalize(stmt_); }
  template <typename... Values>
  void Row(Values... values) {
    int i = 0;
    (Bind(++i, values), ...);
    sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
  }

 private:
  void Bind(int i, int v) { sqlite3_bind_int(stmt_, i, v); }
  void Bind(int i, const char* v) { sqlite3_bind_text(stmt_, i, v, -1, SQLITE_TRANSIENT); }
  sqlite3_stmt* stmt_ = nullptr;
};

// Builds the database once per run, in the order Load needs: items in
// pre-order (a root, kFiles files, their resources), each owner's rows in
// the order the owners are visited.
inline const std::string& GeneratedDb() {
  static const std::string path = [] {
    const std::string file = "/tmp/locmodel-bench-storage-" + std::to_string(getpid()) + ".db";
    std::remove(file.c_str());
    CStorage(locmodel::Utf8ToUtf16(file)).CreateDb();
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    {
      Inserter item(db, "insert into res_item values ( ?, ?, ?, ?, ?, ?, ? )");
      Inserter trans(db, "insert into trans_item values ( ?, ?, 0, '', ?, ?, ? )");
      Inserter prop(db, "insert into prop ( parent_key, name, type, binary_key, string, value, "
                        "prop_type ) values ( ?, ?, ?, 9999999, ?, ?, 1 )");
      Inserter block(db, "insert into binary ( parent_key, num, data ) values ( ?, ?, ? )");
      const std::string data(4000, 'd');  // an encoded block of 3999 bytes
      int blocks = 0;
      int file = 0;
      for (int key = 1; key <= kItems; ++key) {
        const bool isFile = key > 1 && (key - 2) % (kItems / kFiles) == 0;
        if (isFile) file = key;
        const int parent = key == 1 ? kNoKey : isFile ? 1 : file;
        int binaryKey = kNoKey;
        if (key % 50 == 0) {
          binaryKey = ++blocks;
          block.Row(kNoKey, 0, data.c_str());
          ++blocks;
          block.Row(binaryKey, 1, data.c_str());
        }
        const std::string comment = "resource " + std::to_string(key);
        item.Row(parent, binaryKey, 5, comment.c_str(), ("@IDS_" + std::to_string(key)).c_str(), 0, 0);
        prop.Row(key, "@Font", 1, "MS Shell Dlg", 0);
        prop.Row(key, "#101", 2, "", key);
        for (int lang : {1031, 1036, 1040}) trans.Row(key, kNoKey, lang, 2, comment.c_str());
      }
    }
    sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return file;
  }();
  return path;
}

}  // namespace bench_storage
