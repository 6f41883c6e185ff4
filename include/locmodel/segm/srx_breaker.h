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
// Every search is bounded by ICU's match time limit (MATCH_TIME_LIMIT), and
// all the searches of one rule over one text by a budget of ticks that
// grows with the text (RULE_TICKS_BASE + length / RULE_UNITS_PER_TICK), so
// that a pattern whose every search rescans the rest of the text cannot
// make segmenting quadratic. A rule whose search fails, a time-out or an
// exhausted budget included, stops for that text while the other rules go
// on. Ticks count match steps, not clock time: the same text and rules
// give the same breaks on any machine. Only searches longer than one tick
// draw on the budget, so a rule can still spend up to 10,000 steps per
// search without being stopped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "locmodel/segm/segmentator.h"
#include "locmodel/segm/srx_store.h"

class CSRXBreaker final : public ISegmentator {
 public:
  // ICU's match time limit per search, in its ticks of 10,000 match steps:
  // about 0.3 s on a 2 GHz core, while one search of a sane rule over 10 MB
  // of text takes a few milliseconds.
  static constexpr int MATCH_TIME_LIMIT = 2000;
  // A sane rule spends well under a tick per 10,000 code units; a rule may
  // spend one per 64 before it is stopped.
  static constexpr int64_t RULE_TICKS_BASE = 100;
  static constexpr int64_t RULE_UNITS_PER_TICK = 64;

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

 private:
  // A rule with its compiled pattern (shared by copies) and its matcher
  // (one per breaker); ICU stays out of the public headers.
  struct CompiledRule;

  std::vector<CompiledRule> rules_;
  std::u16string culture_;
};
