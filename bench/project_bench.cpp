// A generated project of about 100,000 items (5 levels below the root, 10
// children each, 3 translations, 3 own properties and 1 configuration
// property per item): saved and loaded through the project-file format, and
// the same content as plain structs through cereal's binary archive.
#include <benchmark/benchmark.h>
#include <cereal/archives/binary.hpp>
#include <cereal/types/map.hpp>
#include <cereal/types/string.hpp>
#include <cereal/types/vector.hpp>
#include <malloc.h>

#include <filesystem>
#include <sstream>

#include "generated_project.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
#include "locmodel/util/unicode.h"

namespace {

using namespace bench_project;

size_t CountItems(const CResItem& item) {
  size_t n = 1;
  for (const CResItem* child : item.GetResItems()) n += CountItems(*child);
  return n;
}

struct Project {
  std::unique_ptr<CResItem> root = MakeProject();
  size_t items = CountItems(*root);
  std::vector<unsigned char> bytes = locmodel::SaveProjectToMemory(*root);
};
Project& TheProject() {
  static Project project;
  return project;
}

void Report(benchmark::State& state, size_t items, size_t bytes) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_ProjectSaveMemory(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) benchmark::DoNotOptimize(locmodel::SaveProjectToMemory(*p.root).size());
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectSaveMemory)->Unit(benchmark::kMillisecond);

void BM_ProjectSaveFile(benchmark::State& state) {
  Project& p = TheProject();
  const bool gzip = state.range(0) != 0;
  const auto path = std::filesystem::temp_directory_path() / "locmodel-bench-project";
  for (auto _ : state) {
    if (!locmodel::SaveProject(*p.root, locmodel::Utf8ToUtf16(path.string()), {gzip, 2}).ok())
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

// What a loaded tree keeps, per item (the reader's own memory is gone).
void BM_ProjectLoadedMemory(benchmark::State& state) {
  Project& p = TheProject();
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    std::unique_ptr<CResItem> root;
    locmodel::LoadProjectFromMemory(p.bytes.data(), p.bytes.size(), root, locmodel::ProjectReader::Sequential);
    state.counters["bytes_per_item"] =
        static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(p.items);
  }
}
BENCHMARK(BM_ProjectLoadedMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Peak heap while the tree reader holds the stream and builds the items.
void BM_ProjectLoadTreePeak(benchmark::State& state) {
  Project& p = TheProject();
  double peakPerItem = 0;
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    Serial::MemoryStreamIn in(p.bytes.data(), static_cast<uint32_t>(p.bytes.size()));
    Serial::Binary::BinarySerialTreeIn tree;
    tree.Load(in);
    CResItem root;
    root.Do(tree);
    peakPerItem = static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(p.items);
  }
  state.counters["peak_bytes_per_item"] = peakPerItem;
  Report(state, p.items, p.bytes.size());
}
BENCHMARK(BM_ProjectLoadTreePeak)->Iterations(1)->Unit(benchmark::kMillisecond);

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

void BM_CerealLoad(benchmark::State& state) {
  Project& p = TheProject();
  std::ostringstream out;
  {
    cereal::BinaryOutputArchive archive(out);
    archive(ToPlain(*p.root));
  }
  const std::string bytes = out.str();
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

}  // namespace
