// Language map and macro expansion costs: the one-time build of the map,
// macro lookups per language, and expanding the system's output patterns.
#include <benchmark/benchmark.h>

#include "locmodel/lang/lang_map.h"
#include "locmodel/lang/macros_util.h"

namespace {

// Reaches the protected Init to build private maps.
class MapBuilder : public CLangMap {
 public:
  MapBuilder() { Init(); }
};

// The first call, ICU data loading included. Registered first so that no
// other benchmark has warmed ICU up.
void BM_LangMapFirstUse(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(&CLangMap::Instance());
}
BENCHMARK(BM_LangMapFirstUse)->Iterations(1)->Unit(benchmark::kMillisecond);

// Rebuilding once ICU's data is loaded.
void BM_LangMapBuild(benchmark::State& state) {
  for (auto _ : state) {
    MapBuilder map;
    benchmark::DoNotOptimize(map.GetLangs().size());
  }
}
BENCHMARK(BM_LangMapBuild)->Unit(benchmark::kMillisecond);

void BM_GetLangMacros(benchmark::State& state) {
  const CLangMap& map = CLangMap::Instance();
  std::vector<int> langs;
  for (const auto& [id, row] : map.GetLangs()) langs.push_back(id);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(map.GetLangMacros(langs[i]));
    if (++i == langs.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetLangMacros);

void BM_ApplyMacrosMap(benchmark::State& state) {
  const std::u16string patterns[] = {
      u"$(OutputDir)\\$(CultureName)\\$(SrcFileName)$(SrcFileExt)",
      u"$(OutputDir)\\$(SrcFileName)$(WinLang).dll",
  };
  const auto macros = MacrosUtil::Merge(
      CLangMap::Instance().GetLangMacros(0x0407),
      {{u"$(OutputDir)", u"C:\\Projects\\Demo\\out"}, {u"$(SrcFileName)", u"application"},
       {u"$(SrcFileExt)", u".exe"}});
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MacrosUtil::ApplyMacrosMap(patterns[i], macros));
    i ^= 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ApplyMacrosMap);

}  // namespace
