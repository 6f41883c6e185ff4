#include "locmodel/segm/srx_breaker.h"

#include <unicode/regex.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

#include "locmodel/lang/lang_map.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/unicode.h"

namespace {

// A matcher of `pattern`; null when ICU fails.
std::unique_ptr<icu::RegexMatcher> NewMatcher(const icu::RegexPattern& pattern) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(status));
  return U_SUCCESS(status) ? std::move(matcher) : nullptr;
}

// The budgets of one text, which ICU's callback draws on.
struct TextBudget {
  int64_t textLimit;
  int64_t ruleLimit;
  int64_t spent = 0;        // by all the rules so far
  int64_t ruleSpent = 0;    // by the running rule
  int64_t searchStart = 0;  // by the running rule before its current search
};

// ICU calls this once per tick with the ticks the running rule has spent
// since its matcher was reset to the text; false stops the search.
UBool SpendTick(const void* context, int32_t ruleTicks) {
  TextBudget& budget = *static_cast<TextBudget*>(const_cast<void*>(context));
  ++budget.spent;
  budget.ruleSpent = ruleTicks;
  return budget.spent < budget.textLimit && budget.ruleSpent < budget.ruleLimit &&
         budget.ruleSpent - budget.searchStart < CSRXBreaker::MATCH_TIME_LIMIT;
}

void WarnSkipped(size_t skipped, size_t rules, int64_t length) {
  const std::string text = "segmentation rules: " + std::to_string(skipped) + " of " +
                           std::to_string(rules) + " were skipped for a text of " +
                           std::to_string(length) + " characters: the rules before them spent its budget";
  CMessageProxy::Instance().Post(
      CMessagePanelMsg(locmodel::Utf8ToUtf16(text), CMessagePanelMsg::Warning));
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
  stats_ = Stats();
  if (length == 0 || rules_.empty()) return breaks;
  enum Mark : unsigned char { UNDECIDED, BREAK, NO_BREAK };
  std::vector<Mark> marks(text.size(), UNDECIDED);

  UErrorCode status = U_ZERO_ERROR;
  // Every matcher reads the caller's text in place.
  UText* input = utext_openUChars(nullptr, text.data(), length, &status);
  if (U_FAILURE(status)) return breaks;
  TextBudget budget{TEXT_TICKS_BASE + length / TEXT_UNITS_PER_TICK,
                    RULE_TICKS_BASE + length / RULE_UNITS_PER_TICK};
  for (CompiledRule& compiled : rules_) {
    if (budget.spent >= budget.textLimit) break;
    ++stats_.rulesRun;
    icu::RegexMatcher& matcher = *compiled.matcher;
    status = U_ZERO_ERROR;
    matcher.reset(input);
    budget.ruleSpent = 0;
    matcher.setMatchCallback(SpendTick, &budget, status);
    // find() goes on after the previous match (past an empty one by a code
    // point) and keeps ICU's step count running across the searches, so
    // that every step of the rule counts against the budgets.
    while (U_SUCCESS(status)) {
      budget.searchStart = budget.ruleSpent;
      if (!matcher.find(status) || U_FAILURE(status)) break;
      const int64_t position = matcher.start64(1, status);
      if (U_FAILURE(status)) break;
      // -1: group 1 took no part in the match; 0 and the end are no breaks.
      if (position > 0 && position < length && marks[position] == UNDECIDED) {
        marks[position] = compiled.rule.Break ? BREAK : NO_BREAK;
      }
    }
    status = U_ZERO_ERROR;
    matcher.setMatchCallback(nullptr, nullptr, status);  // the budget dies with this call
  }
  utext_close(input);
  stats_.ticks = budget.spent;
  stats_.budget = budget.textLimit;
  if (stats_.rulesRun < rules_.size()) WarnSkipped(rules_.size() - stats_.rulesRun, rules_.size(), length);
  // Sized once: growing by doubling would briefly hold half as much again.
  breaks.reserve(std::count(marks.begin() + 1, marks.end(), BREAK));
  for (int64_t i = 1; i < length; ++i) {
    if (marks[i] == BREAK) breaks.push_back(static_cast<int>(i));
  }
  return breaks;
}
