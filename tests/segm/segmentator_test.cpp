#include <gtest/gtest.h>

#include <memory>

#include "locmodel/items/res_item.h"
#include "locmodel/segm/icu_breaker.h"
#include "locmodel/segm/segm_util.h"
#include "locmodel/segm/srx_breaker.h"
#include "locmodel/util/unicode.h"
#include "support/default_cfg_guard.h"
#include "support/message_collector.h"

namespace {

using Rule = CSRXStore::CRule;
using Breaks = std::vector<int>;

constexpr int kEnUs = 1033;

// The breaks of `text` under `rules`, all applying to every culture.
Breaks Segment(const CSRXStore::CRules& rules, const std::u16string& text) {
  CSRXStore store;
  store.GetRulesLangMap().push_back({{u"All", u".*"}, rules});
  return CSRXBreaker(store, u"en-US").GetBreaks(text);
}

const Rule kNoBreakMr(false, u"Mr\\.", u"\\s");
const Rule kBreakPeriod(true, u"\\.", u"\\s");

struct Case {
  CSRXStore::CRules rules;
  std::u16string text;
  Breaks breaks;
};

TEST(SRXBreaker, FirstRuleDecidesAndBreakIsWhereAfterBreakBegins) {
  const std::u16string mr = u"Mr. Smith. Next";
  for (const Case& c : std::initializer_list<Case>{
           {{kNoBreakMr, kBreakPeriod}, mr, {10}}, {{kBreakPeriod, kNoBreakMr}, mr, {3, 10}},
           {{kBreakPeriod}, u"", {}}, {{kBreakPeriod}, u"One.  Two", {4}},  // the blanks begin the next segment
           // The before-break group is group 1 of the combined pattern: a no-break
           // landing on 0 decides nothing; a top-level alternative's first branch
           // has no group 1 (-1); \Q swallows the group, so start(1) fails and the
           // rule stops while the next goes on.
           {{Rule(false, u"(Mr|Dr)\\.", u"\\s"), kBreakPeriod}, mr, {3, 10}},
           {{Rule(false, u"(?:Mr|Dr)\\.", u"\\s"), kBreakPeriod}, mr, {10}},
           {{Rule(false, u"Mr\\.|Dr\\.", u"\\s"), kBreakPeriod}, mr, {3, 10}},
           {{Rule(false, u"\\QMr.", u"\\s"), kBreakPeriod}, u"Mr.(\\s) a. b", {10}},
           // Matches consume their after-break text; an empty match moves on by a
           // whole code point; never a break at the ends of the text.
           {{Rule(true, u"\u3002", u".")}, u"\u7532\u3002\u3002\u4E59", {2}},
           {{Rule(true, u"", u"(?=b)")}, u"a\U0001F600b", {3}},
           {{Rule(true, u"\\.", u"")}, u"End.", {}}, {{Rule(true, u"", u"a")}, u"aXa", {2}}})
    EXPECT_EQ(Segment(c.rules, c.text), c.breaks) << testing::PrintToString(c.text);
  // A pattern ICU cannot compile is dropped.
  CSRXStore store;
  store.GetRulesLangMap().push_back({{u"All", u".*"}, {Rule(true, u"(", u""), kBreakPeriod}});
  EXPECT_EQ(CSRXBreaker(store, u"x").GetRuleCount(), 1u);
}

TEST(SRXBreaker, CopiesAndTheStoreAreIndependent) {
  auto store = std::make_unique<CSRXStore>();
  store->GetRulesLangMap().push_back({{u"All", u".*"}, {kBreakPeriod}});
  auto original = std::make_unique<CSRXBreaker>(*store, u"en");
  store.reset();
  CSRXBreaker copy(*original), assigned(CSRXStore(), u"de");
  {
    const CSRXBreaker source(*original);
    assigned = source;  // owns its matchers once the source is gone
  }
  EXPECT_EQ(original->GetBreaks(u"A. B. C"), (Breaks{2, 5}));
  original.reset();
  EXPECT_EQ(copy.GetBreaks(u"A. B"), Breaks{2});
  EXPECT_EQ(assigned.GetCulture(), u"en");
  EXPECT_EQ(assigned.GetBreaks(u"A. B"), Breaks{2});
}

TEST(SRXBreaker, LongTextKeepsAllBreaks) {
  std::u16string text;
  for (int i = 0; i < (10 << 20) / 8; ++i) text += u"Abc def.";
  text += u"Z";
  const Breaks breaks = Segment({Rule(true, u"\\.", u"")}, text);
  ASSERT_EQ(breaks.size(), static_cast<size_t>((10 << 20) / 8));
  EXPECT_EQ(breaks.back(), static_cast<int>(text.size()) - 1);
}

TEST(SRXBreaker, BacktrackingRuleTimesOutAndTheOthersGoOn) {
  const std::u16string text = std::u16string(40, u'a') + u". Next";
  EXPECT_EQ(Segment({Rule(true, u"(?:a+)+b", u""), kBreakPeriod}, text), Breaks{41});
  // Each search of this rule rescans the rest of the text, well within the
  // time limit, but quadratic over all its searches: the rule's budget
  // stops it (without it this takes hours). Its early breaks stay.
  std::u16string run(1 << 16, u'a');
  run += u". Next";
  const Breaks breaks = Segment({Rule(true, u"a", u"(?=a*b)|"), kBreakPeriod}, run);
  ASSERT_FALSE(breaks.empty());
  EXPECT_EQ(breaks.front(), 1) << breaks.size() << " " << breaks.back();
  EXPECT_LT(breaks.size(), run.size() / 2);
  EXPECT_EQ(breaks.back(), (1 << 16) + 1);
}

// The rule set that made one line take a minute: each rule tries every
// way of splitting a run of "a" into "a" and "aa" twice over, within its
// own budget, and none ever matches.
CSRXStore::CRules BacktrackingRules(int count) {
  CSRXStore::CRules rules;
  for (int i = 0; i < count; ++i) {
    rules.emplace_back(true, u"(a|aa)+(b|aa)+c" + locmodel::Utf8ToUtf16(std::to_string(i)), u"x*");
  }
  return rules;
}

TEST(SRXBreaker, ATextsBudgetBoundsAllItsRulesTogether) {
  CSRXStore::CRules rules = BacktrackingRules(2000);
  rules.insert(rules.begin(), Rule(true, u"^a{50}", u""));  // a sane rule before them still decides
  CSRXStore store;
  store.GetRulesLangMap().push_back({{u"All", u".*"}, rules});
  CSRXBreaker breaker(store, u"en");
  testing_support::MessageCollector messages;

  const std::u16string line(100, u'a');
  EXPECT_EQ(breaker.GetBreaks(line), Breaks{50});
  const CSRXBreaker::Stats& stats = breaker.GetLastStats();
  EXPECT_EQ(stats.budget, CSRXBreaker::TEXT_TICKS_BASE + 100 / CSRXBreaker::TEXT_UNITS_PER_TICK);
  EXPECT_EQ(stats.ticks, stats.budget);  // not 2,000 rule budgets
  // Each backtracking rule spends its own budget until the text's is gone.
  const int64_t ruleBudget = CSRXBreaker::RULE_TICKS_BASE + 100 / CSRXBreaker::RULE_UNITS_PER_TICK;
  const size_t run = 1 + static_cast<size_t>((stats.budget + ruleBudget - 1) / ruleBudget);
  EXPECT_EQ(stats.rulesRun, run);
  const std::u16string skipped = locmodel::Utf8ToUtf16(std::to_string(2001 - run));
  EXPECT_EQ(messages.Texts(CMessagePanelMsg::Warning),
            std::vector<std::u16string>{u"segmentation rules: " + skipped +
                                        u" of 2001 were skipped for a text of 100 characters: "
                                        u"the rules before them spent its budget"});

  // The next text has a budget of its own, which rules that do not
  // backtrack leave untouched.
  messages.messages.clear();
  EXPECT_EQ(breaker.GetBreaks(u"b. c"), Breaks{});
  EXPECT_EQ(breaker.GetLastStats().rulesRun, 2001u);
  EXPECT_EQ(breaker.GetLastStats().ticks, 0);
  EXPECT_TRUE(messages.messages.empty());
}

// A rule file in the manner of the SRX 2.0 standard's own example: a
// numbered-list exception, a break before every line feed, sentence
// punctuation, and Japanese full stops. The breaks are worked out by hand.
TEST(SRXBreaker, RuleFileInTheStandardsManner) {
  const std::string file = R"(<?xml version="1.0" encoding="UTF-8"?>
<srx xmlns="http://www.lisa.org/srx20" version="2.0">
  <header segmentsubflows="yes" cascade="CASCADE"/>
  <body>
    <languagerules>
      <languagerule languagerulename="Default">
        <rule break="no"><beforebreak>^\s*[0-9]+\.</beforebreak><afterbreak>\s</afterbreak></rule>
        <rule break="yes"><afterbreak>\n</afterbreak></rule>
        <rule break="yes"><beforebreak>[\.\?!]+</beforebreak><afterbreak>\s</afterbreak></rule>
      </languagerule>
      <languagerule languagerulename="Japanese">
        <rule break="yes"><beforebreak>[。．？！]+</beforebreak><afterbreak></afterbreak></rule>
      </languagerule>
    </languagerules>
    <maprules>
      <languagemap languagepattern="[Jj][Aa].*" languagerulename="Japanese"/>
      <languagemap languagepattern=".*" languagerulename="Default"/>
    </maprules>
  </body>
</srx>)";
  const auto load = [&](const char* cascade) {
    std::string text = file;
    text.replace(text.find("CASCADE"), 7, cascade);
    CSRXStore store;
    EXPECT_TRUE(store.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()), u"standard.srx"));
    return store;
  };
  const CSRXStore cascading = load("yes");
  // "1." keeps its blank (no-break at 2); the line feed breaks before
  // itself (28) and "!" followed by it decides nothing new; the final "."
  // has no blank after it.
  EXPECT_EQ(CSRXBreaker(cascading, kEnUs).GetBreaks(u"1. Introduction. This is it!\nNext line? Yes."),
            (Breaks{16, 28, 39}));
  const std::u16string mixed = u"晴れ。x. y。";
  EXPECT_EQ(CSRXBreaker(cascading, u"ja-JP").GetBreaks(mixed), (Breaks{3, 5}));
  EXPECT_EQ(CSRXBreaker(cascading, kEnUs).GetBreaks(mixed), Breaks{5});
  EXPECT_EQ(CSRXBreaker(load("no"), u"ja-JP").GetBreaks(mixed), Breaks{3});
}

TEST(SegmUtil, CreateByTypeFromTheConfiguredRulesAndICU) {
  DefaultCfgGuard guard;
  CResItem root;
  CResItem& child = *new CResItem;
  root.AddResItem(&child);
  CSRXStore store;
  store.GetRulesLangMap().push_back({{u"All", u".*"}, {kBreakPeriod}});
  CSegmCfg::SetSRXStore(root, store);
  std::unique_ptr<ISegmentator> srx(CSegmUtil::CreateSegmentator(CSegmUtil::SEGM_SRX, child, kEnUs));
  CSegmCfg::ResetSRXStore(root);  // the breaker keeps its own rules
  ASSERT_TRUE(srx);
  EXPECT_EQ(srx->GetBreaks(u"A. B"), Breaks{2});
  std::unique_ptr<ISegmentator> none(CSegmUtil::CreateSegmentator(CSegmUtil::SEGM_NONE, child, kEnUs));
  EXPECT_EQ(none->GetBreaks(u"A. B"), Breaks{});
  EXPECT_EQ(CSegmUtil::CreateSegmentator(static_cast<CSegmUtil::CSegmType>(3), child, kEnUs), nullptr);
  // ICU's breaks: none at the ends of the text.
  std::unique_ptr<ISegmentator> icu(CSegmUtil::CreateSegmentator(CSegmUtil::SEGM_ICU, child, kEnUs));
  ASSERT_NE(dynamic_cast<CICUBreaker*>(icu.get()), nullptr);
  EXPECT_EQ(icu->GetBreaks(u""), Breaks{});
  EXPECT_EQ(icu->GetBreaks(u"One sentence."), Breaks{});
  const Breaks breaks = icu->GetBreaks(u"Mr. Smith. Next one is here.");
  ASSERT_FALSE(breaks.empty());
  EXPECT_EQ(breaks.back(), 11);
}

}  // namespace
