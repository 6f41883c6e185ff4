#include "locmodel/lang/macros_util.h"

#include <algorithm>

namespace {

// Replaces every occurrence of `from` in `text`. False (text untouched) when
// the result would pass `limit`; `changed` tells whether anything was found.
bool ReplaceAll(std::u16string& text, const std::u16string& from, const std::u16string& to,
                size_t limit, bool& changed) {
  size_t pos = text.find(from);
  if (pos == std::u16string::npos) return true;
  // Count first: the length check must come before the growth.
  size_t count = 0;
  for (size_t p = pos; p != std::u16string::npos; p = text.find(from, p + from.size())) ++count;
  if (to.size() > from.size() && (to.size() - from.size()) > (limit - text.size()) / count) return false;
  std::u16string result;
  result.reserve(text.size() - count * from.size() + count * to.size());
  size_t start = 0;
  for (; pos != std::u16string::npos; pos = text.find(from, start)) {
    result.append(text, start, pos - start).append(to);
    start = pos + from.size();
  }
  result.append(text, start, std::u16string::npos);
  text.swap(result);
  changed = true;
  return true;
}

}  // namespace

std::u16string MacrosUtil::ApplyMacrosMap(const std::u16string& text, const Map& macros) {
  const size_t limit = std::max(kMaxLength, text.size());
  std::u16string result = text;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    bool changed = false;
    for (const auto& [placeholder, replacement] : macros) {
      if (placeholder.empty()) continue;
      if (!ReplaceAll(result, placeholder, replacement, limit, changed)) return result;
    }
    if (!changed) break;
  }
  return result;
}

MacrosUtil::Map MacrosUtil::Merge(const Map& first, const Map& second) {
  Map merged = first;
  for (const auto& [placeholder, replacement] : second) merged[placeholder] = replacement;
  return merged;
}
