// A legacy SQLite 2 project database opened and loaded through our reader,
// against the same rows in the SQLite 3 file that db-upgrade makes of it.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <sstream>

#include "cli/command.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/unicode.h"

namespace {

namespace fs = std::filesystem;

// The largest fixture, and its upgraded copy.
const fs::path& Legacy() {
  static const fs::path path = fs::path(LOCMODEL_SOURCE_DIR) / "tests/fixtures/sqlite2/settings.db";
  return path;
}
const fs::path& Upgraded() {
  static const fs::path path = [] {
    const fs::path copy = fs::temp_directory_path() / "locmodel-bench-upgraded.db";
    fs::remove(copy);
    std::ostringstream out, err;
    locmodel::cli::Main({"locmodel", "db-upgrade", Legacy().string(), copy.string()}, out, err);
    return copy;
  }();
  return path;
}

void OpenAndLoad(benchmark::State& state, const fs::path& path) {
  const std::u16string name = locmodel::Utf8ToUtf16(path.string());
  double peak = 0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    CStorage storage(name, CStorage::ReadOnly);
    std::unique_ptr<CResItem> root(storage.Load());
    peak = static_cast<double>(mallinfo2().uordblks - before);
    if (!root) state.SkipWithError("load failed");
  }
  state.counters["heap_over_file_size"] = peak / static_cast<double>(fs::file_size(path));
}

void BM_LegacyOpenLoad(benchmark::State& state) { OpenAndLoad(state, Legacy()); }
BENCHMARK(BM_LegacyOpenLoad);

void BM_UpgradedOpenLoad(benchmark::State& state) { OpenAndLoad(state, Upgraded()); }
BENCHMARK(BM_UpgradedOpenLoad);

}  // namespace
