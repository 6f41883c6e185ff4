#include "locmodel/segm/srx_breaker.h"

#include <unicode/regex.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

#include "locmodel/lang/lang_map.h"

namespace {

// Code units of the code point at `index` (1 at the end, for an unpaired
// surrogate, or for a BMP character).
int64_t CodePointLength(const std::u16string& text, int64_t index) {
  const size_t i = static_cast<size_t>(index);
  return i + 1 < text.size() && (text[i] & 0xFC00) == 0xD800 && (text[i + 1] & 0xFC00) == 0xDC00 ? 2 : 1;
}

// A matcher of `pattern` under the time limit; null when ICU fails.
std::unique_ptr<icu::RegexMatcher> NewMatcher(const icu::RegexPattern& pattern) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(status));
  if (matcher) matcher->setTimeLimit(CSRXBreaker::MATCH_TIME_LIMIT, status);
  return U_SUCCESS(status) ? std::move(matcher) : nullptr;
}

// ICU calls this once per tick (10,000 match steps) of one search; the
// context counts down the ticks a rule may still spend on the whole text.
UBool SpendTick(const void* context, int32_t) {
  int64_t& left = *static_cast<int64_t*>(const_cast<void*>(context));
  return --left > 0;
}

}  // namespace

struct CSRXBreaker::CompiledRule {
  CSRXStore::CRule rule;
  std::shared_ptr<const icu::RegexPattern> pattern;
  std::unique_ptr<icu::RegexMatcher> matcher;
};

CSRXBreaker::~CSRXBreaker() = default;

CSRXBreaker::CSRXBreaker(const CSRXStore& store, const std::u16string& culture) : culture_(culture) {
  CSRXStore::CRules rules;
  store.GetRules(culture, rules);
  for (CSRXStore::CRule& rule : rules) {
    const std::u16string combined = rule.BeforeBreak + u"(" + rule.AfterBreak + u")";
    UErrorCode status = U_ZERO_ERROR;
    UParseError where;
    std::shared_ptr<const icu::RegexPattern> pattern(icu::RegexPattern::compile(
        icu::UnicodeString(combined.data(), static_cast<int32_t>(combined.size())), 0, where, status));
    if (U_FAILURE(status) || !pattern) continue;
    if (auto matcher = NewMatcher(*pattern)) {
      rules_.push_back({std::move(rule), std::move(pattern), std::move(matcher)});
    }
  }
}

CSRXBreaker::CSRXBreaker(const CSRXStore& store, int lang)
    : CSRXBreaker(store, CLangMap::Instance().GetLang(lang).cultureName) {}

CSRXBreaker::CSRXBreaker(const CSRXBreaker& other) : culture_(other.culture_) {
  rules_.reserve(other.rules_.size());
  for (const CompiledRule& compiled : other.rules_) {
    if (auto matcher = NewMatcher(*compiled.pattern)) {
      rules_.push_back({compiled.rule, compiled.pattern, std::move(matcher)});
    }
  }
}

CSRXBreaker& CSRXBreaker::operator=(const CSRXBreaker& other) {
  CSRXBreaker copy(other);
  std::swap(rules_, copy.rules_);
  std::swap(culture_, copy.culture_);
  return *this;
}

size_t CSRXBreaker::GetRuleCount() const { return rules_.size(); }

std::vector<int> CSRXBreaker::GetBreaks(const std::u16string& text) {
  std::vector<int> breaks;
  const int64_t length = static_cast<int64_t>(text.size());
  if (length == 0 || rules_.empty()) return breaks;
  enum Mark : unsigned char { UNDECIDED, BREAK, NO_BREAK };
  std::vector<Mark> marks(text.size(), UNDECIDED);

  UErrorCode status = U_ZERO_ERROR;
  // Every matcher reads the caller's text in place.
  UText* input = utext_openUChars(nullptr, text.data(), length, &status);
  if (U_FAILURE(status)) return breaks;
  for (CompiledRule& compiled : rules_) {
    icu::RegexMatcher& matcher = *compiled.matcher;
    status = U_ZERO_ERROR;
    matcher.reset(input);
    int64_t ticksLeft = RULE_TICKS_BASE + length / RULE_UNITS_PER_TICK;
    matcher.setMatchCallback(SpendTick, &ticksLeft, status);
    // find(from) rather than find(): ICU's time limit runs over all the
    // searches since the last reset, and find(from) resets it, so a long
    // text keeps all its breaks while each single search stays bounded.
    for (int64_t from = 0; from <= length;) {
      if (!matcher.find(from, status) || U_FAILURE(status)) break;
      const int64_t position = matcher.start64(1, status);
      const int64_t begin = matcher.start64(status);
      const int64_t end = matcher.end64(status);
      if (U_FAILURE(status)) break;
      // -1: group 1 took no part in the match; 0 and the end are no breaks.
      if (position > 0 && position < length && marks[position] == UNDECIDED) {
        marks[position] = compiled.rule.Break ? BREAK : NO_BREAK;
      }
      from = end > begin ? end : end + CodePointLength(text, end);
    }
    status = U_ZERO_ERROR;
    matcher.setMatchCallback(nullptr, nullptr, status);  // the budget dies with this call
  }
  utext_close(input);
  // Sized once: growing by doubling would briefly hold half as much again.
  breaks.reserve(std::count(marks.begin() + 1, marks.end(), BREAK));
  for (int64_t i = 1; i < length; ++i) {
    if (marks[i] == BREAK) breaks.push_back(static_cast<int>(i));
  }
  return breaks;
}
