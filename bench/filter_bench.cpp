// CFilter::IsAllowedName in calls per second on XML node names, with the
// default filter and with 20 wildcard patterns, beside the same patterns
// matched by CStrUtil::WildcardMatch in a bare loop (the limit: the filter
// adds its set lookup of "*" to the matching). Target: within 1.5x.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "locmodel/config/xml_cfg.h"
#include "locmodel/util/str_util.h"

namespace {

const std::vector<std::u16string>& NodeNames() {
  static const std::vector<std::u16string> names = {
      u"string", u"string-array", u"item", u"plurals", u"resources", u"LinearLayout", u"TextView",
      u"Button", u"android:text", u"android:contentDescription", u"tools:ignore", u"xliff:g",
      u"menu", u"group", u"declare-styleable", u"attr", u"enum", u"flag", u"dimen", u"color",
  };
  return names;
}

// 20 patterns, most of which miss most names, as a real node filter does.
CFilter::NameSet Patterns() {
  return {u"*Text*",  u"*Label",  u"Title?",  u"*:title", u"caption*", u"*Hint",  u"desc*",
          u"summary", u"*.label", u"msg??",   u"*Tooltip", u"help*",   u"*Name",  u"header*",
          u"footer*", u"note?",   u"*Comment", u"alt",     u"value*",  u"*:text"};
}

template <typename Call>
void RunOverNames(benchmark::State& state, Call call) {
  const auto& names = NodeNames();
  for (auto _ : state)
    for (const std::u16string& name : names) benchmark::DoNotOptimize(call(name));
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(names.size()));
}

void BM_FilterDefault(benchmark::State& state) {
  const CFilter filter = CXmlParserCfg::GetDefaultNodeFilter();
  RunOverNames(state, [&](const std::u16string& name) { return filter.IsAllowedName(name, true); });
}

void BM_Filter20Patterns(benchmark::State& state) {
  const CFilter filter(Patterns(), {});
  RunOverNames(state, [&](const std::u16string& name) { return filter.IsAllowedName(name, true); });
}

void BM_WildcardLoop20Patterns(benchmark::State& state) {
  const CFilter::NameSet set = Patterns();
  const std::vector<std::u16string> patterns(set.begin(), set.end());
  RunOverNames(state, [&](const std::u16string& name) {
    for (const std::u16string& pattern : patterns)
      if (CStrUtil::WildcardMatch(name, pattern, true)) return true;
    return false;
  });
}

BENCHMARK(BM_FilterDefault);
BENCHMARK(BM_Filter20Patterns);
BENCHMARK(BM_WildcardLoop20Patterns);

}  // namespace
