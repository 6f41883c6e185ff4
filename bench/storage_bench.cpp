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
#include "generated_database.h"

namespace {

using bench_storage::GeneratedDb;
using bench_storage::kFiles;
using bench_storage::kItems;

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
