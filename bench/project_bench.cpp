// A generated project of about 100,000 items (5 levels below the root, 10
// children each, 3 translations, 3 own properties and 1 configuration
// property per item): saved and loaded through the project-file format, and
// the same content as plain structs through cereal's binary archive.
//
// One run prints every figure the project-file targets are judged by: save
// and load against cereal, the tree reader against the sequential one, gzip
// against plain plus zlib's own time on the same bytes, memory per item, the
// cost per item at 10k, 100k, 300k and 1M items beside cereal's at the same
// sizes, and two floors: walking the fields without building objects, and building
// the objects from an already parsed list.
#include <benchmark/benchmark.h>
#include <cereal/archives/binary.hpp>
#include <cereal/types/map.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/vector.hpp>
#include <zlib.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "generated_project.h"
#include "heap_peak.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/binary_scanner.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

namespace {

using namespace bench_project;

size_t CountItems(const CResItem& item) {
  size_t n = 1;
  for (const CResItem* child : item.GetResItems()) n += CountItems(*child);
  return n;
}

// zlib alone on the same bytes, in the gzip format at the level projects use.
std::vector<unsigned char> Deflate(const std::vector<unsigned char>& bytes, int level) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<unsigned char> out(deflateBound(&z, bytes.size()));
  z.next_in = const_cast<unsigned char*>(bytes.data());
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

size_t Inflate(const std::vector<unsigned char>& gz, std::vector<unsigned char>& out) {
  z_stream z{};
  inflateInit2(&z, 16 + MAX_WBITS);
  z.next_in = const_cast<unsigned char*>(gz.data());
  z.avail_in = static_cast<uInt>(gz.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  inflate(&z, Z_FINISH);
  inflateEnd(&z);
  return z.total_out;
}

struct Project {
  explicit Project(std::unique_ptr<CResItem> made) : root(std::move(made)) {}
  std::unique_ptr<CResItem> root;
  size_t items = CountItems(*root);
  std::vector<unsigned char> bytes = locmodel::SaveProjectToMemory(*root);
};
// The standard project (0), or one of exactly `items` items. Only one of
// the latter is kept at a time: the scaling sizes reach a million items.
Project& TheProject(size_t items = 0) {
  static std::unique_ptr<Project> standard, scaled;
  auto& project = items ? scaled : standard;
  if (!project || (items && project->items != items)) {
    project.reset();
    project = std::make_unique<Project>(items ? MakeProject(items) : MakeProject());
  }
  return *project;
}

std::filesystem::path BenchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

void Report(benchmark::State& state, size_t items, size_t bytes) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// Scratch files are not synced: the figures are the library's, not the disk's.
locmodel::SaveOptions FileOptions(bool gzip) { return {.gzip = gzip, .level = 2, .sync = false}; }

void BM_ProjectSaveMemory(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) benchmark::DoNotOptimize(locmodel::SaveProjectToMemory(*p.root).size());
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectSaveMemory)->Unit(benchmark::kMillisecond);

void BM_ProjectSaveFile(benchmark::State& state) {
  Project& p = TheProject();
  const bool gzip = state.range(0) != 0;
  const auto path = BenchFile("locmodel-bench-project");
  for (auto _ : state) {
    if (!locmodel::SaveProject(*p.root, locmodel::Utf8ToUtf16(path.string()), FileOptions(gzip)).ok())
      state.SkipWithError("save failed");
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectSaveFile)->Arg(0)->Arg(1)->ArgNames({"gzip"})->Unit(benchmark::kMillisecond);

// Loading and destroying the tree, as cereal's peer below builds and
// destroys its structs.
void BM_ProjectLoad(benchmark::State& state) {
  Project& p = TheProject();
  const auto reader = state.range(0) ? locmodel::ProjectReader::Tree : locmodel::ProjectReader::Sequential;
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProjectFromMemory(p.bytes.data(), p.bytes.size(), root, reader).ok())
      state.SkipWithError("load failed");
  }
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectLoad)->Arg(0)->Arg(1)->ArgNames({"tree"})->Unit(benchmark::kMillisecond);

// From a file: plain or gzip level 2, with the sequential or the tree reader.
void BM_ProjectLoadFile(benchmark::State& state) {
  Project& p = TheProject();
  const bool gzip = state.range(0) != 0;
  const auto reader = state.range(1) ? locmodel::ProjectReader::Tree : locmodel::ProjectReader::Sequential;
  const auto path = locmodel::Utf8ToUtf16(BenchFile("locmodel-bench-project-in").string());
  if (!locmodel::SaveProject(*p.root, path, FileOptions(gzip)).ok()) state.SkipWithError("save failed");
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProject(path, root, reader).ok()) state.SkipWithError("load failed");
  }
  std::filesystem::remove(BenchFile("locmodel-bench-project-in"));
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectLoadFile)->Args({0, 0})->Args({1, 0})->Args({0, 1})->ArgNames({"gzip", "tree"})
    ->Unit(benchmark::kMillisecond);

// zlib's own share of the gzip rows: level 2 on the same bytes, in memory.
void BM_ZlibDeflate(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) benchmark::DoNotOptimize(Deflate(p.bytes, 2).size());
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ZlibDeflate)->Unit(benchmark::kMillisecond);

void BM_ZlibInflate(benchmark::State& state) {
  Project& p = TheProject();
  const std::vector<unsigned char> gz = Deflate(p.bytes, 2);
  std::vector<unsigned char> out(p.bytes.size());
  for (auto _ : state) {
    if (Inflate(gz, out) != p.bytes.size()) state.SkipWithError("inflate failed");
  }
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond);

// Floor of any reader: every item of the file visited, nothing built.
void BM_FloorWalkFields(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) {
    Serial::MemoryStreamIn in(p.bytes.data(), static_cast<uint32_t>(p.bytes.size()));
    Serial::Binary::BinaryScanner scanner(in);
    size_t fields = 0;
    for (auto item = scanner.Next(); item != Serial::Binary::BinaryScanner::Item::End;
         item = scanner.Next()) {
      if (item == Serial::Binary::BinaryScanner::Item::Malformed) state.SkipWithError("malformed");
      fields += item == Serial::Binary::BinaryScanner::Item::Field;
    }
    benchmark::DoNotOptimize(fields);
  }
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_FloorWalkFields)->Unit(benchmark::kMillisecond);

// What a loaded tree keeps, per item (the reader's own memory is gone).
void BM_ProjectLoadedMemory(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    HeapPeak heap;
    locmodel::LoadProjectFromMemory(p.bytes.data(), p.bytes.size(), root, locmodel::ProjectReader::Sequential);
    state.counters["bytes_per_item"] = static_cast<double>(heap.Current()) / static_cast<double>(p.items);
    state.counters["peak_bytes_per_item"] = static_cast<double>(heap.Peak()) / static_cast<double>(p.items);
  }
}
BENCHMARK(BM_ProjectLoadedMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peak heap while the tree reader holds the stream and builds the items.
void BM_ProjectLoadTreePeak(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) {
    std::unique_ptr<CResItem> root;
    HeapPeak heap;
    locmodel::LoadProjectFromMemory(p.bytes.data(), p.bytes.size(), root, locmodel::ProjectReader::Tree);
    state.counters["peak_bytes_per_item"] = static_cast<double>(heap.Peak()) / static_cast<double>(p.items);
  }
}
BENCHMARK(BM_ProjectLoadTreePeak)->Iterations(1)->Unit(benchmark::kMillisecond);

// Floor of any save to a file: the finished bytes written as the writer
// writes them (64 KB at a time, into a new file that replaces the old).
void BM_FloorWriteFile(benchmark::State& state) {
  Project& p = TheProject();
  const auto path = locmodel::Utf8ToUtf16(BenchFile("locmodel-bench-floor").string());
  for (auto _ : state) {
    const std::string failure = locmodel::ReplaceFileWith(path, [&](const std::u16string& file) {
      Serial::FileStreamOut out(file);
      for (size_t at = 0; at < p.bytes.size(); at += 64 * 1024) {
        const size_t n = std::min<size_t>(64 * 1024, p.bytes.size() - at);
        out.write(p.bytes.data() + at, static_cast<uint32_t>(n));
      }
      return out.Close();
    }, {.sync = false, .unnamed = true});
    if (!failure.empty()) state.SkipWithError("write failed");
  }
  std::filesystem::remove(BenchFile("locmodel-bench-floor"));
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_FloorWriteFile)->Unit(benchmark::kMillisecond);

// The peer: the same content as plain structs through cereal.
struct PlainTrans {
  int lang = 0, status = 0, key = 0;
  std::u16string text;
  template <class A> void serialize(A& a) { a(lang, status, key, text); }
};
struct PlainItem {
  int type = 0, tabNum = 0, state = 0;
  std::u16string resId, comment;
  std::vector<unsigned char> data;
  std::u16string text;
  int width = 0;
  bool visible = false;
  unsigned long long itemId = 0;
  std::map<int, PlainTrans> translations;
  std::vector<PlainItem> children;
  template <class A> void serialize(A& a) {
    a(type, tabNum, state, resId, comment, data, text, width, visible, itemId, translations, children);
  }
};

PlainItem ToPlain(const CResItem& item) {
  PlainItem plain;
  plain.type = item.GetType();
  plain.resId = item.GetResId();
  plain.text = item.GetPropW(u"Text")->GetStr();
  plain.width = item.GetPropW(u"Width")->GetInt();
  plain.visible = item.GetPropW(u"Visible")->GetInt() != 0;
  plain.itemId = static_cast<const CItemIdProp&>(*item.GetCfgProps().GetPropW(CPropName::PROP_ITEM_ID));
  for (const auto& [lang, trans] : item.GetTransMap())
    plain.translations[lang] = PlainTrans{lang, trans->GetStatus(), trans->GetKey(), trans->GetStr()};
  for (const CResItem* child : item.GetResItems()) plain.children.push_back(ToPlain(*child));
  return plain;
}

void BM_CerealSave(benchmark::State& state) {
  Project& p = TheProject();
  const PlainItem plain = ToPlain(*p.root);
  size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    {
      cereal::BinaryOutputArchive archive(out);
      archive(plain);
    }
    bytes = out.str().size();
  }
  state.counters["cereal_MB"] = static_cast<double>(bytes) / 1e6;
  Report(state, p.items, bytes);
}
BENCHMARK(BM_CerealSave)->Unit(benchmark::kMillisecond);

// The peer of a plain file save. Saving into a string stream grows one
// block of tens of megabytes, and whether its pages are fresh (faulted in
// anew) or reused swings that row up to eightfold with the heap's history.
void BM_CerealSaveFile(benchmark::State& state) {
  Project& p = TheProject();
  const PlainItem plain = ToPlain(*p.root);
  const auto path = BenchFile("locmodel-bench-cereal");
  for (auto _ : state) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    {
      cereal::BinaryOutputArchive archive(out);
      archive(plain);
    }
    out.close();
    if (!out) state.SkipWithError("cereal save failed");
  }
  state.counters["cereal_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_CerealSaveFile)->Unit(benchmark::kMillisecond);

void BM_CerealLoad(benchmark::State& state) {
  Project& p = TheProject();
  std::ostringstream out;
  {
    cereal::BinaryOutputArchive archive(out);
    archive(ToPlain(*p.root));
  }
  const std::string bytes = out.str();
  {
    HeapPeak heap;
    std::istringstream in(bytes);
    cereal::BinaryInputArchive archive(in);
    PlainItem plain;
    archive(plain);
    state.counters["bytes_per_item"] = static_cast<double>(heap.Current()) / static_cast<double>(p.items);
  }
  for (auto _ : state) {
    std::istringstream in(bytes);
    cereal::BinaryInputArchive archive(in);
    PlainItem plain;
    archive(plain);
    benchmark::DoNotOptimize(plain.children.size());
  }
  Report(state, p.items, bytes.size());
}
BENCHMARK(BM_CerealLoad)->Unit(benchmark::kMillisecond);

// Floor of any loader with these objects: the items built through the public
// setters from an already parsed list (the structs cereal reads), and destroyed.
CResItem* FromPlain(const PlainItem& plain) {
  auto* item = new CResItem;
  item->SetType(plain.type);
  item->SetResId(plain.resId);
  item->SetPropW(u"Text", new CStrProp(plain.text));
  item->SetPropW(u"Width", new CIntProp(plain.width));
  item->SetPropW(u"Visible", new CBoolProp(plain.visible));
  item->GetCfgProps().SetPropW(CPropName::PROP_ITEM_ID, new CItemIdProp(plain.itemId));
  for (const auto& [lang, trans] : plain.translations) {
    auto* made = new CTransItem(lang);
    made->SetStr(trans.text);
    item->AddTransItem(made);
  }
  for (const PlainItem& child : plain.children) item->AddResItem(FromPlain(child));
  return item;
}

void BM_FloorBuildObjects(benchmark::State& state) {
  Project& p = TheProject();
  const PlainItem plain = ToPlain(*p.root);
  {
    // What these objects hold however they are made: the memory floor of a load.
    HeapPeak heap;
    const std::unique_ptr<CResItem> built(FromPlain(plain));
    state.counters["bytes_per_item"] = static_cast<double>(heap.Current()) / static_cast<double>(p.items);
  }
  for (auto _ : state) std::unique_ptr<CResItem>(FromPlain(plain));
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_FloorBuildObjects)->Unit(benchmark::kMillisecond);

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// The cost per item as projects grow, and fresh pages counted beside it.
void ReportScale(benchmark::State& state, size_t items, long faults) {
  state.counters["faults_per_item"] = benchmark::Counter(
      static_cast<double>(MinorFaults() - faults) / static_cast<double>(items),
      benchmark::Counter::kAvgIterations);
  state.counters["ns_per_item"] = benchmark::Counter(
      static_cast<double>(items) * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                             benchmark::Counter::kInvert);
}

// Save to memory and sequential load, as projects grow.
void BM_ProjectScale(benchmark::State& state) {
  Project& p = TheProject(static_cast<size_t>(state.range(0)));
  const long faults = MinorFaults();
  for (auto _ : state) {
    benchmark::DoNotOptimize(locmodel::SaveProjectToMemory(*p.root).size());
    std::unique_ptr<CResItem> root;
    if (!locmodel::LoadProjectFromMemory(p.bytes.data(), p.bytes.size(), root,
                                         locmodel::ProjectReader::Sequential).ok())
      state.SkipWithError("load failed");
  }
  ReportScale(state, p.items, faults);
  Report(state, p.items, p.bytes.size());
}

// The machine's own spread: cereal saves and loads the same content as
// plain structs at the same sizes.
void BM_ProjectScaleCereal(benchmark::State& state) {
  Project& p = TheProject(static_cast<size_t>(state.range(0)));
  const PlainItem plain = ToPlain(*p.root);
  const long faults = MinorFaults();
  for (auto _ : state) {
    std::ostringstream out;
    {
      cereal::BinaryOutputArchive archive(out);
      archive(plain);
    }
    std::istringstream in(std::move(out).str());
    cereal::BinaryInputArchive archive(in);
    PlainItem loaded;
    archive(loaded);
    benchmark::DoNotOptimize(loaded.children.size());
  }
  ReportScale(state, p.items, faults);
  Report(state, p.items, p.bytes.size());
}

// Both at each size in turn, so that each size's project is built once. A
// million items take about 3 GB and half a minute to build: one timed
// iteration after the warm-up.
[[maybe_unused]] const bool kScaleRegistered = [] {
  for (const int64_t items : {10'000, 100'000, 300'000, 1'000'000}) {
    for (auto* scale : {benchmark::RegisterBenchmark("BM_ProjectScale", BM_ProjectScale),
                        benchmark::RegisterBenchmark("BM_ProjectScaleCereal", BM_ProjectScaleCereal)}) {
      scale->Arg(items)->ArgNames({"items"})->Unit(benchmark::kMillisecond);
      if (items >= 1'000'000) scale->Iterations(1);
    }
  }
  return true;
}();

}  // namespace
