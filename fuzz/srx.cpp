// SRX loading from arbitrary bytes: false or CLoadError, never a crash,
// within bounded time and memory. What loads is looked up, segmented on a
// short text (few rules, under the matchers' time limit) and saved.
#include <algorithm>

#include <cstdint>
#include "locmodel/segm/srx_breaker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  CSRXStore store;
  try {
    if (!store.LoadFromMemory(data, static_cast<int>(size), u"fuzz.srx")) return 0;
  } catch (const CSRXStore::CLoadError&) {
    return 0;
  }
  CSRXStore::CEntries& entries = store.GetRulesLangMap();
  for (auto& entry : entries) entry.second.resize(std::min<size_t>(entry.second.size(), 4));
  entries.resize(std::min<size_t>(entries.size(), 4));
  const std::vector<int> breaks = CSRXBreaker(store, u"en-US").GetBreaks(u"Mr. Smith. Next. 1.5 \u3002x");
  if (!std::is_sorted(breaks.begin(), breaks.end())) __builtin_trap();
  if (store.ToSRX().compare(0, 3, "\xEF\xBB\xBF") != 0) __builtin_trap();
  return 0;
}
