// GetBreaks with a small fuzzed rule store and text: whatever the patterns
// (broken, backtracking, empty, group-swallowing), the breaks are ascending
// positions strictly inside the text, from the breaker and from its copy.
// (They need not agree: a search that runs into the time limit stops its
// rule wherever the clock says.)
#include <fuzzer/FuzzedDataProvider.h>

#include "locmodel/segm/srx_breaker.h"

namespace {

std::u16string Units(FuzzedDataProvider& provider, size_t max) {
  std::u16string text;
  const size_t length = provider.ConsumeIntegralInRange<size_t>(0, max);
  for (size_t i = 0; i < length && provider.remaining_bytes() > 0; ++i) {
    // Mostly ASCII, so that patterns mean something; any unit now and then.
    text += provider.ConsumeBool() ? char16_t(provider.ConsumeIntegralInRange(0x20, 0x7E))
                                   : provider.ConsumeIntegral<char16_t>();
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider provider(data, size);
  CSRXStore store;
  store.SetCascade(provider.ConsumeBool());
  const int maps = provider.ConsumeIntegralInRange(1, 3);
  for (int m = 0; m < maps; ++m) {
    CSRXStore::CRules rules;
    const int count = provider.ConsumeIntegralInRange(0, 3);
    for (int r = 0; r < count; ++r) {
      const bool isBreak = provider.ConsumeBool();
      std::u16string before = Units(provider, 12);
      rules.emplace_back(isBreak, std::move(before), Units(provider, 8));
    }
    store.GetRulesLangMap().push_back({{u"R", provider.ConsumeBool() ? u".*" : Units(provider, 6)}, rules});
  }
  const std::u16string text = Units(provider, 256);
  CSRXBreaker breaker(store, u"en-US");
  CSRXBreaker copy(breaker);
  for (CSRXBreaker* b : {&breaker, &copy}) {
    const std::vector<int> breaks = b->GetBreaks(text);
    for (size_t i = 0; i < breaks.size(); ++i) {
      if (breaks[i] <= 0 || size_t(breaks[i]) >= text.size() || (i && breaks[i] <= breaks[i - 1]))
        __builtin_trap();
    }
  }
  return 0;
}
