// The project database: loading a tree of 100,000 resource items (3
// translations and 2 properties each, a binary chain on every 50th item)
// against the bare scan of the same five queries through sqlite3, which
// builds nothing and is the limit; and value-store writes and reads.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "locmodel/items/res_item.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kItems = 100000;
constexpr int kFiles = 100;
constexpr int kNoKey = CStorage::kNoKey;

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
const std::string& GeneratedDb() {
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

void BM_StorageLoad(benchmark::State& state) {
  const std::u16string path = locmodel::Utf8ToUtf16(GeneratedDb());
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    {
      CStorage storage(path, CStorage::ReadOnly);
      root.reset(storage.Load());
    }
    state.PauseTiming();  // destroying the tree is not loading it
    if (!root || root->GetResItems().size() != kFiles) state.SkipWithError("wrong tree");
    root.reset();
    state.ResumeTiming();
  }
  state.counters["items/s"] = benchmark::Counter(double(kItems) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StorageLoad)->Unit(benchmark::kMillisecond)->Iterations(5);

// The five queries of Load stepped to their end, every column fetched as
// text, nothing built.
void BM_StorageRawScan(benchmark::State& state) {
  const char* const queries[] = {
      " SELECT rowid, parent_key, binary_key, type, comment, res_id, tab_num, state FROM res_item ORDER BY rowid ",
      " SELECT rowid, parent_key, binary_key, type, comment, lang, status, string FROM trans_item ORDER BY rowid ",
      " SELECT rowid, parent_key, num, data FROM binary ORDER BY rowid ",
      " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, type_int FROM prop WHERE prop_type = 1 ORDER BY rowid ",
      " SELECT rowid, parent_key, name, type, binary_key, string, value, type_type, type_str, type_int FROM prop WHERE prop_type = 2 ORDER BY rowid ",
  };
  const std::string& path = GeneratedDb();
  for (auto _ : state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    size_t bytes = 0;
    for (const char* sql : queries) {
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
          sqlite3_column_text(stmt, i);
          bytes += sqlite3_column_bytes(stmt, i);
        }
      }
      sqlite3_finalize(stmt);
    }
    benchmark::DoNotOptimize(bytes);
    sqlite3_close(db);
  }
  state.counters["items/s"] = benchmark::Counter(double(kItems) * state.iterations(),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StorageRawScan)->Unit(benchmark::kMillisecond)->Iterations(5);

// SetStr then GetStr of one of 1000 keys (an insert the first time round,
// then updates), inside one transaction as a host saving settings does.
void BM_StorageSetGetStr(benchmark::State& state) {
  const std::string file = "/tmp/locmodel-bench-values-" + std::to_string(getpid()) + ".db";
  std::remove(file.c_str());
  {
    CStorage storage(locmodel::Utf8ToUtf16(file));
    storage.CreateDb();
    storage.BeginTrans();
    int i = 0;
    std::u16string out;
    for (auto _ : state) {
      const std::u16string key = u"Setting" + locmodel::Utf8ToUtf16(std::to_string(i++ % 1000));
      storage.SetStr(key, u"some value of a setting", u"file.rc");
      storage.GetStr(out, key, u"file.rc");
    }
    storage.CommitTrans();
  }
  std::remove(file.c_str());
  state.counters["pairs/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StorageSetGetStr);

}  // namespace
