// Job files: a file item of 10,000 resources (3 translations each) under 5
// ancestors, saved and loaded as a job, against the same subtree as a gzip
// project file (level 2, sequential reader): the limit is item serialization
// plus gzip, and the job adds only the ancestor copies. A save with 10,000
// siblings beside the file item shows the substituter's bookkeeping.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "generated_project.h"
#include "locmodel/config/job_params.h"
#include "locmodel/items/project_file.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kAncestors = 5, kResources = 10000, kSiblings = 10000;

struct Tree {
  std::unique_ptr<CResItem> root = std::make_unique<CResItem>();
  CResItem* file = nullptr;

  explicit Tree(int siblings) {
    int n = 0;
    bench_project::Fill(*root, n++);
    CResItem* parent = root.get();
    for (int level = 1; level < kAncestors; ++level) {
      auto* folder = new CResItem;
      bench_project::Fill(*folder, n++);
      parent->AddResItem(folder);
      parent = folder;
    }
    for (int i = 0; i < siblings; ++i) parent->AddResItem(new CResItem);
    file = new CResItem;
    bench_project::Fill(*file, n++);
    parent->AddResItem(file);
    for (int i = 0; i < kResources; ++i) {
      auto* resource = new CResItem;
      bench_project::Fill(*resource, n++);
      file->AddResItem(resource);
    }
  }
};

Tree& TheTree(int siblings) {
  static Tree alone(0), crowded(kSiblings);
  return siblings ? crowded : alone;
}

std::u16string TempPath(const char* name) {
  return locmodel::Utf8ToUtf16((std::filesystem::temp_directory_path() / name).string());
}

void BM_JobSave(benchmark::State& state) {
  Tree& tree = TheTree(static_cast<int>(state.range(0)));
  const std::u16string path = TempPath("locmodel-bench-job");
  for (auto _ : state) {
    if (!CreateLocalizedTempFile::Save(path, u"main.rc", u"main.rc", *tree.file, CCreateLocalizedParam()))
      state.SkipWithError("save failed");
  }
  state.SetItemsProcessed(state.iterations() * (kResources + 1));
}
BENCHMARK(BM_JobSave)->Arg(0)->Arg(kSiblings)->ArgNames({"siblings"})->Unit(benchmark::kMillisecond);

void BM_JobLoad(benchmark::State& state) {
  const std::u16string path = TempPath("locmodel-bench-job-load");
  CreateLocalizedTempFile::Save(path, u"main.rc", u"main.rc", *TheTree(0).file, CCreateLocalizedParam());
  for (auto _ : state) {
    CreateLocalizedTempFile job;
    if (!job.Load(path) || !job.GetFileItem()) state.SkipWithError("load failed");
  }
  state.SetItemsProcessed(state.iterations() * (kResources + 1));
}
BENCHMARK(BM_JobLoad)->Unit(benchmark::kMillisecond);

void BM_SubtreeProjectSave(benchmark::State& state) {
  const std::u16string path = TempPath("locmodel-bench-subtree");
  locmodel::SaveOptions options;
  options.gzip = true;
  options.level = 2;
  options.sync = false;
  for (auto _ : state) {
    if (!locmodel::SaveProject(*TheTree(0).file, path, options).ok()) state.SkipWithError("save failed");
  }
  state.SetItemsProcessed(state.iterations() * (kResources + 1));
}
BENCHMARK(BM_SubtreeProjectSave)->Unit(benchmark::kMillisecond);

void BM_SubtreeProjectLoad(benchmark::State& state) {
  const std::u16string path = TempPath("locmodel-bench-subtree-load");
  locmodel::SaveOptions options;
  options.gzip = true;
  options.level = 2;
  options.sync = false;
  (void)locmodel::SaveProject(*TheTree(0).file, path, options);
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProject(path, root, locmodel::ProjectReader::Sequential).ok()) state.SkipWithError("load failed");
  }
  state.SetItemsProcessed(state.iterations() * (kResources + 1));
}
BENCHMARK(BM_SubtreeProjectLoad)->Unit(benchmark::kMillisecond);

}  // namespace
