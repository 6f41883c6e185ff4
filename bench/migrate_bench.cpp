// Moving an old project database into a project file: the migration of the
// storage benchmark's 100,000-item database, its value store holding the
// settings of an old project, against converting the same database with no
// settings at all (loading the tree and saving it), which is the limit.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "generated_database.h"
#include "locmodel/config/migration.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"

namespace {

// The generated database with the settings of an old project added.
const std::u16string& OldProjectDb() {
  static const std::u16string path = [] {
    const std::string file = "/tmp/locmodel-bench-migrate-" + std::to_string(getpid()) + ".db";
    std::filesystem::copy_file(bench_storage::GeneratedDb(), file, std::filesystem::copy_options::overwrite_existing);
    CStorage storage(locmodel::Utf8ToUtf16(file));
    storage.BeginTrans();
    storage.SetInt(u"ProjectVersion", 4100);
    storage.SetInt(u"NativeLng", 1033);
    storage.SetInt(u"TargetLng", 1031);
    const unsigned char langs[] = {0x07, 0x04, 0, 0, 0x0C, 0x04, 0, 0, 0x10, 0x04, 0, 0};  // 1031, 1036, 1040
    storage.SetData(u"SelectedLangs", langs, sizeof langs);
    storage.SetInt(u"RunLocalizedCustom", 1);
    storage.SetStr(u"RunLocalizedCmd", u"C:\\Program Files\\App\\app.exe");
    storage.SetInt(u"FuzzyUpdate", 80);
    storage.SetInt(u"bBorlandUnicode", 0);
    storage.CommitTrans();
    return locmodel::Utf8ToUtf16(file);
  }();
  return path;
}

const std::u16string& OutputPath() {
  static const std::u16string path = locmodel::Utf8ToUtf16("/tmp/locmodel-bench-migrate-" + std::to_string(getpid()) + ".lmp");
  return path;
}

// Destroying the tree is neither's work.
template <typename Convert>
void RunConversion(benchmark::State& state, Convert convert) {
  const std::u16string& path = OldProjectDb();
  for (auto _ : state) {
    std::unique_ptr<CResItem> root = convert(path);
    if (!root || !locmodel::SaveProject(*root, OutputPath()).ok()) state.SkipWithError("conversion failed");
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  state.counters["items/s"] =
      benchmark::Counter(double(bench_storage::kItems) * state.iterations(), benchmark::Counter::kIsRate);
}

void BM_ConvertDatabase(benchmark::State& state) {
  RunConversion(state, [](const std::u16string& path) {
    std::unique_ptr<CResItem> root;
    locmodel::LoadProjectDatabase(path, root);
    return root;
  });
}
BENCHMARK(BM_ConvertDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_MigrateDatabase(benchmark::State& state) {
  RunConversion(state, [](const std::u16string& path) {
    locmodel::MigrationResult result;
    locmodel::MigrateOldProject(path, result);
    if (result.read.size() != 8 || !result.warnings.empty()) result.root.reset();
    return std::move(result.root);
  });
}
BENCHMARK(BM_MigrateDatabase)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
