// The SQLite 2 reader on the largest fixture: opening (which checks the whole
// file) and walking every table.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/util/unicode.h"

namespace {

const std::string kPath = std::string(LOCMODEL_SOURCE_DIR) + "/tests/fixtures/sqlite2/settings.db";

size_t WalkAll(const locmodel::Sqlite2File& file) {
  size_t rows = 0;
  for (const auto& table : file.tables()) {
    auto cursor = file.Rows(table);
    while (cursor.Next()) ++rows;
  }
  return rows;
}

void BM_Sqlite2WalkRows(benchmark::State& state) {
  std::unique_ptr<locmodel::Sqlite2File> file;
  if (!locmodel::Sqlite2File::Open(locmodel::Utf8ToUtf16(kPath), &file).ok()) {
    state.SkipWithError("cannot open fixture");
    return;
  }
  size_t rows = 0;
  for (auto _ : state) rows += WalkAll(*file);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sqlite2WalkRows);

void BM_Sqlite2OpenAndWalk(benchmark::State& state) {
  size_t rows = 0;
  for (auto _ : state) {
    std::unique_ptr<locmodel::Sqlite2File> file;
    if (!locmodel::Sqlite2File::Open(locmodel::Utf8ToUtf16(kPath), &file).ok()) {
      state.SkipWithError("cannot open fixture");
      return;
    }
    rows += WalkAll(*file);
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sqlite2OpenAndWalk);

}  // namespace
