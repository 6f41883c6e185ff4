// CStrUtil: trimming, case mapping, wildcard matching, random names and
// truncation.
#include "locmodel/util/str_util.h"

#include <unicode/uchar.h>

#include <chrono>
#include <random>
#include <stdexcept>

namespace {

bool IsTrimmed(char16_t c) { return c == u' ' || c == u'\r' || c == u'\t' || c == u'\n'; }

template <UChar32 (*Map)(UChar32)>
void MapCase(std::u16string& s, int index) {
  if (index == -1) {
    for (char16_t& c : s) c = static_cast<char16_t>(Map(c));
    return;
  }
  if (index < 0 || static_cast<size_t>(index) >= s.size())
    throw std::out_of_range("CStrUtil: index outside the text");
  s[index] = static_cast<char16_t>(Map(s[index]));
}

}  // namespace

void CStrUtil::TrimWhitespaces(const std::u16string& s, int& start, int& end) {
  const int n = static_cast<int>(s.size());
  start = 0;
  while (start < n && IsTrimmed(s[start])) ++start;
  if (start == n) {
    end = n;
    return;
  }
  end = n;
  while (IsTrimmed(s[end - 1])) --end;
}

// A code unit maps to one code unit: u_tolower/u_toupper of a BMP code point
// (surrogates included, which map to themselves) stay in the BMP.
void CStrUtil::MakeLower(std::u16string& s, int index) { MapCase<u_tolower>(s, index); }
void CStrUtil::MakeUpper(std::u16string& s, int index) { MapCase<u_toupper>(s, index); }

bool CStrUtil::WildcardMatch(const std::u16string& text, const std::u16string& pattern,
                             bool ignoreCase) {
  if (ignoreCase) {
    std::u16string t = text, p = pattern;
    MakeLower(t);
    MakeLower(p);
    return WildcardMatch(t, p, false);
  }
  // Greedy matching with one resume point: the position after the most
  // recent "*" and the text position it was last tried at. A failure moves
  // that trial one unit on, so every pattern position meets every text
  // position at most once per "*": O(text * pattern), never exponential.
  const size_t n = text.size(), m = pattern.size();
  size_t t = 0, p = 0;
  size_t star = std::u16string::npos, resume = 0;
  while (t < n) {
    if (p < m && pattern[p] == u'*') {
      star = ++p;
      resume = t;
    } else if (p < m && (pattern[p] == u'?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (star != std::u16string::npos) {
      p = star;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < m && pattern[p] == u'*') ++p;
  return p == m;
}

std::u16string CStrUtil::RandomStr(int length) {
  const auto tick = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(tick.count()));
  std::u16string out;
  for (int i = 0; i < length; ++i) out.push_back(static_cast<char16_t>(u'A' + generator() % 26));
  return out;
}

std::u16string CStrUtil::TruncLongString(const std::u16string& s, int max) {
  const size_t keep = max > 3 ? static_cast<size_t>(max - 3) : 0;
  if (s.size() <= keep) return s;
  return s.substr(0, keep) + u"...";
}
