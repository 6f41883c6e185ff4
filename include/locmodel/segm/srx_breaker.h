// CSRXBreaker: segmentation by the rules an SRX store has for a culture.
//
// Each rule is compiled once into the ICU pattern "<before>(<after>)", so
// that capture group 1 begins at the break position. Segmenting runs every
// rule over the whole text in rule order; each match (matches never
// overlap: a match consumes its after-break text) proposes the start of its
// group 1, and the first rule that proposes a position decides it, as a
// break or a no-break. A proposal of 0, of the text's end or of -1 (the
// group did not take part) decides nothing. These boundaries are the ones
// existing projects and translation memories were segmented with: keep them
// even where other SRX tools differ.
//
// ICU counts a matcher's work in ticks of 10,000 backtracking steps, and
// three budgets of ticks bound it: one search (MATCH_TIME_LIMIT), all the
// searches of one rule over one text (RULE_TICKS_BASE + length /
// RULE_UNITS_PER_TICK), so that a pattern whose every search rescans the
// rest of the text cannot make segmenting quadratic, and all the rules over
// one text (TEXT_TICKS_BASE + length / TEXT_UNITS_PER_TICK), so that many
// rules that each stay within their own budget cannot add up to minutes. A
// rule that fails, an exhausted search or rule budget included, stops for
// that text while the other rules go on; when the text's budget is spent,
// the rules not yet run are skipped for that text and a warning
// (CMessagePanelMsg type 3) is posted through CMessageProxy::Instance().
// Ticks count steps, not clock time: the same text and rules give the same
// breaks on any machine. A rule's steps count across its searches
// from its first step, so at most one tick of each rule goes unseen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "locmodel/segm/segmentator.h"
#include "locmodel/segm/srx_store.h"

class CSRXBreaker final : public ISegmentator {
 public:
  // The ticks of one search (a tick is 10,000 backtracking steps, about
  // 0.3 ms on a 2 GHz core): well under a second, while one search of a
  // sane rule over 10 MB of text takes a few milliseconds.
  static constexpr int64_t MATCH_TIME_LIMIT = 2000;
  // A sane rule spends well under a tick per 10,000 code units; a rule may
  // spend one per 64 before it is stopped.
  static constexpr int64_t RULE_TICKS_BASE = 100;
  static constexpr int64_t RULE_UNITS_PER_TICK = 64;
  // All the rules together may spend what ten rules may on a short text
  // (about 0.3 s) and what four may on a long one.
  static constexpr int64_t TEXT_TICKS_BASE = 1000;
  static constexpr int64_t TEXT_UNITS_PER_TICK = 16;

  // What the last GetBreaks spent, for tests and tuning.
  struct Stats {
    int64_t ticks = 0;      // ticks all the rules spent on the text
    int64_t budget = 0;     // the text's budget
    size_t rulesRun = 0;    // rules that ran, from the first; the rest were skipped
  };

  // The rules of `store` for the culture name `culture` ("en-US", "en",
  // "zh-CHT": our language map's names, matched case-sensitively). The
  // store is read only here: it may change or go away afterwards. Rules
  // whose pattern ICU cannot compile are dropped.
  CSRXBreaker(const CSRXStore& store, const std::u16string& culture);
  // The same for the culture name of the language `lang`.
  CSRXBreaker(const CSRXStore& store, int lang);
  // The copy shares the compiled patterns and owns matchers of its own.
  CSRXBreaker(const CSRXBreaker& other);
  CSRXBreaker& operator=(const CSRXBreaker& other);
  ~CSRXBreaker() override;

  std::vector<int> GetBreaks(const std::u16string& text) override;

  const std::u16string& GetCulture() const { return culture_; }
  // The rules that compiled, in order.
  size_t GetRuleCount() const;
  const Stats& GetLastStats() const { return stats_; }

 private:
  // A rule with its compiled pattern (shared by copies) and its matcher
  // (one per breaker); ICU stays out of the public headers.
  struct CompiledRule;

  std::vector<CompiledRule> rules_;
  std::u16string culture_;
  Stats stats_;
};
