// Wildcard matching: pattern and text from one input, split at the first
// zero unit. The pattern is kept short so that a slow match (anything worse
// than text * pattern) shows as a timeout.
#include <cstdlib>

#include "fuzz_text.h"
#include "locmodel/util/str_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string input = FuzzUnits(data, size);
  const size_t split = input.find(u'\0');
  if (split == std::u16string::npos) return 0;
  const std::u16string pattern = input.substr(0, split);
  const std::u16string text = input.substr(split + 1);
  const bool exact = CStrUtil::WildcardMatch(text, pattern, false);
  const bool folded = CStrUtil::WildcardMatch(text, pattern, true);
  if (exact && !folded) std::abort();  // ignoring case can only add matches
  if (!CStrUtil::WildcardMatch(text, text.find_first_of(u"*?") == std::u16string::npos ? text : u"*", false))
    std::abort();
  return 0;
}
