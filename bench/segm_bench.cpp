// Segmentation over generated inputs: an SRX file of real-world size (40
// maps, 3,000 rules, 300 of them applying to en-US through cascading), 10 MB
// of English-like prose and 100,000 short strings. Each segmentator runs
// beside its floor: ICU's raw BreakIterator loop, and the same compiled
// patterns' find() loops with nothing marked; rule compilation beside bare
// ICU compilation, Load beside a bare libxml2 parse.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <unicode/brkiter.h>
#include <unicode/regex.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "heap_peak.h"
#include "locmodel/segm/icu_breaker.h"
#include "locmodel/segm/srx_breaker.h"
#include "locmodel/util/unicode.h"

namespace {

constexpr int kEnUs = 1033;

// 39 language maps of 75 rules each for other cultures, then ".*" with 75;
// en-US picks up "en.*" (225 rules, mostly abbreviations) and ".*".
const CSRXStore& Store() {
  static const CSRXStore store = [] {
    CSRXStore s;
    auto rules = [](const std::u16string& tag, int count) {
      CSRXStore::CRules out;
      for (int i = 0; i < count - 2; ++i) {
        out.emplace_back(false, u"\\b" + tag + u"Abr" + locmodel::Utf8ToUtf16(std::to_string(i)) + u"\\.",
                         u"\\s");
      }
      out.emplace_back(false, u"\\b(?:Mr|Mrs|Dr|e\\.g|i\\.e)\\.", u"\\s");
      out.emplace_back(true, u"[.?!]+[\"')]*", u"\\s");
      return out;
    };
    for (int i = 0; i < 39; ++i) {
      // append(), not "literal" + string: GCC 12 warns falsely about the latter.
      const std::u16string name = locmodel::Utf8ToUtf16(std::string("L").append(std::to_string(i)));
      const std::u16string pattern = i == 0 ? u"en.*" : std::u16string(u"x").append(name).append(u".*");
      s.GetRulesLangMap().push_back({{name, pattern}, rules(i == 0 ? u"" : name, i == 0 ? 225 : 75)});
    }
    s.GetRulesLangMap().push_back({{u"Default", u".*"}, rules(u"D", 75)});
    return s;
  }();
  return store;
}

std::u16string Sentence(std::mt19937& random) {
  static const char16_t* const kParts[] = {
      u"Mr. Smith met Dr. Jones at 10.30 a.m. today. ", u"The price rose 3.5% to $1,234.56! ",
      u"\"Is it true?\" she asked. ",                  u"See e.g. chapter 4 for details. ",
      u"Nothing else happened (really). ",             u"They walked home quietly and slept. "};
  return kParts[random() % std::size(kParts)];
}

const std::u16string& Document() {
  static const std::u16string text = [] {
    std::mt19937 random(7);
    std::u16string t;
    while (t.size() < (5u << 20)) t += Sentence(random);
    return t;
  }();
  return text;
}

const std::vector<std::u16string>& Strings() {
  static const std::vector<std::u16string> strings = [] {
    std::mt19937 random(11);
    std::vector<std::u16string> out(100000);
    for (auto& s : out) {
      const size_t length = 20 + random() % 181;
      while (s.size() < length) s += Sentence(random);
      s.resize(length);
    }
    return out;
  }();
  return strings;
}

void SetBytes(benchmark::State& state, size_t units) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(units * sizeof(char16_t)));
}

// One raw pass of ICU's sentence iterator over `text`.
void RawBreakIteratorPass(icu::BreakIterator& it, const std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UText* input = utext_openUChars(nullptr, text.data(), int64_t(text.size()), &status);
  it.setText(input, status);
  int count = 0;
  for (int32_t b = it.next(); b != icu::BreakIterator::DONE; b = it.next()) ++count;
  utext_close(input);
  benchmark::DoNotOptimize(count);
}

std::unique_ptr<icu::BreakIterator> SentenceIterator() {
  UErrorCode status = U_ZERO_ERROR;
  return std::unique_ptr<icu::BreakIterator>(icu::BreakIterator::createSentenceInstance("en_US", status));
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void BM_IcuRawBreakIterator(benchmark::State& state) {
  const auto it = SentenceIterator();
  for (auto _ : state) RawBreakIteratorPass(*it, Document());
  SetBytes(state, Document().size());
}

void BM_IcuBreaker(benchmark::State& state) {
  CICUBreaker breaker(kEnUs);
  for (auto _ : state) benchmark::DoNotOptimize(breaker.GetBreaks(Document()));
  SetBytes(state, Document().size());
}

// The floor of the SRX algorithm: every rule's find() loop, nothing marked.
void FindLoops(const std::vector<std::unique_ptr<icu::RegexMatcher>>& matchers, const std::u16string& text) {
  UErrorCode status = U_ZERO_ERROR;
  UText* input = utext_openUChars(nullptr, text.data(), int64_t(text.size()), &status);
  for (const auto& m : matchers) {
    m->reset(input);
    for (int64_t from = 0; from <= int64_t(text.size()) && m->find(from, status);) {
      benchmark::DoNotOptimize(m->start64(1, status));
      const int64_t end = m->end64(status);
      from = end > m->start64(status) ? end : end + 1;
    }
  }
  utext_close(input);
}

std::vector<std::unique_ptr<icu::RegexMatcher>> CompileEnUs() {
  CSRXStore::CRules rules;
  Store().GetRules(u"en-US", rules);
  std::vector<std::unique_ptr<icu::RegexMatcher>> matchers;
  for (const auto& rule : rules) {
    const std::u16string p = rule.BeforeBreak + u"(" + rule.AfterBreak + u")";
    UErrorCode status = U_ZERO_ERROR;
    matchers.emplace_back(new icu::RegexMatcher(icu::UnicodeString(p.data(), int32_t(p.size())), 0, status));
  }
  return matchers;
}

void BM_SrxFloorDocument(benchmark::State& state) {
  const auto matchers = CompileEnUs();
  for (auto _ : state) FindLoops(matchers, Document());
  SetBytes(state, Document().size());
  state.counters["rules"] = double(matchers.size());
}

// Also reported: what each rule costs, in raw BreakIterator passes over
// the same text (the fastest of three, timed beside it).
void BM_SrxBreakerDocument(benchmark::State& state) {
  CSRXBreaker breaker(Store(), kEnUs);
  double spent = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(breaker.GetBreaks(Document()));
    spent += Seconds(start);
  }
  const auto it = SentenceIterator();
  double pass = 1e9;
  for (int i = 0; i < 3; ++i) {
    const auto start = std::chrono::steady_clock::now();
    RawBreakIteratorPass(*it, Document());
    pass = std::min(pass, Seconds(start));
  }
  SetBytes(state, Document().size());
  const double rules = double(breaker.GetRuleCount());
  state.counters["rules"] = rules;
  state.counters["passes_per_rule"] = spent / double(state.iterations()) / rules / pass;
}

// What a breaker holds, and what GetBreaks needs beyond its result: the
// target is one byte per code unit of text.
void BM_SrxBreakerMemory(benchmark::State& state) {
  const std::u16string& text = Document();
  const CSRXStore& store = Store();
  CSRXBreaker warmUp(store, kEnUs);  // ICU's lazily built data is not the breaker's
  for (auto _ : state) {
    std::optional<CSRXBreaker> breaker;
    long long built = 0;
    {
      HeapPeak heap;
      breaker.emplace(store, kEnUs);
      built = heap.Current();
    }
    HeapPeak heap;
    const std::vector<int> breaks = breaker->GetBreaks(text);
    const double result = double(breaks.capacity() * sizeof(int));
    state.counters["breaker_KB"] = double(built) / 1024;
    state.counters["rules"] = double(breaker->GetRuleCount());
    state.counters["extra_bytes_per_unit"] = (double(heap.Peak()) - result) / double(text.size());
    state.counters["result_bytes_per_unit"] = result / double(text.size());
  }
}

void BM_SrxFloorStrings(benchmark::State& state) {
  const auto matchers = CompileEnUs();
  for (auto _ : state) {
    for (const auto& s : Strings()) FindLoops(matchers, s);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(Strings().size()));
}

void BM_SrxBreakerStrings(benchmark::State& state) {
  CSRXBreaker breaker(Store(), kEnUs);
  for (auto _ : state) {
    for (const auto& s : Strings()) benchmark::DoNotOptimize(breaker.GetBreaks(s));
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(Strings().size()));
}

void BM_CompileBare(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CompileEnUs());
}

void BM_CreateSrxBreaker(benchmark::State& state) {
  for (auto _ : state) CSRXBreaker breaker(Store(), kEnUs);
}

const std::string& SrxFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "locmodel-bench.srx").string();
    Store().Save(locmodel::Utf8ToUtf16(p));
    return p;
  }();
  return path;
}

void BM_LoadBareLibxml2(benchmark::State& state) {
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadFile(SrxFile().c_str(), nullptr, XML_PARSE_NONET);
    benchmark::DoNotOptimize(doc);
    xmlFreeDoc(doc);
  }
}

void BM_Load(benchmark::State& state) {
  for (auto _ : state) {
    CSRXStore store;
    benchmark::DoNotOptimize(store.Load(locmodel::Utf8ToUtf16(SrxFile())));
  }
}

void BM_Save(benchmark::State& state) {
  const std::u16string path = locmodel::Utf8ToUtf16(SrxFile() + ".out");
  for (auto _ : state) benchmark::DoNotOptimize(Store().Save(path));
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Store().ToSRX().size()));
}

BENCHMARK(BM_IcuRawBreakIterator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IcuBreaker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SrxFloorDocument)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SrxBreakerDocument)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SrxBreakerMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SrxFloorStrings)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SrxBreakerStrings)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CompileBare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateSrxBreaker)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBareLibxml2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

}  // namespace
