// Text services over 10 MB of HTML-like text, each beside a plain copy of
// the same text (the bound no conversion can beat); wildcard matching and
// condition evaluation in calls per second.
#include <benchmark/benchmark.h>

#include <string>

#include "locmodel/condition/condition_checker.h"
#include "locmodel/util/char_entities.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"

namespace {

// About 10 MB (5 M code units) of markup with entities, accents and quotes.
const std::u16string& HtmlText() {
  static const std::u16string text = [] {
    const std::u16string chunk =
        u"<p class=\"intro\">Caf\u00e9 &amp; cr\u00e8me br\u00fbl\u00e9e &ndash; "
        u"&lt;b&gt;bold&lt;/b&gt; &#233;t\u00e9 &#x20AC;5 &copy; 2024 "
        u"\u201cquoted\u201d text, plain words and more plain words.</p>\n";
    std::u16string t;
    t.reserve(5u << 20);
    while (t.size() + chunk.size() <= (5u << 20)) t += chunk;
    return t;
  }();
  return text;
}

template <typename Convert>
void RunOverText(benchmark::State& state, Convert convert) {
  const std::u16string& text = HtmlText();
  for (auto _ : state) {
    std::u16string copy = text;
    convert(copy);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * sizeof(char16_t)));
}

void BM_PlainCopy(benchmark::State& state) { RunOverText(state, [](std::u16string&) {}); }
void BM_HTMLEntitiesToUnicode(benchmark::State& state) {
  RunOverText(state, CCharEntitiesHelper::HTMLEntitiesToUnicode);
}
void BM_UnicodeToHTMLEntities(benchmark::State& state) {
  RunOverText(state, CCharEntitiesHelper::UnicodeToHTMLEntities);
}
void BM_HideHTMLEntities(benchmark::State& state) {
  RunOverText(state, CCharEntitiesHelper::HideHTMLEntities);
}
void BM_EscapeXMLString(benchmark::State& state) {
  RunOverText(state, [](std::u16string& t) { t = CStrUtil::EscapeXMLString(t); });
}

BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HTMLEntitiesToUnicode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnicodeToHTMLEntities)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HideHTMLEntities)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EscapeXMLString)->Unit(benchmark::kMillisecond);

// The conversions every file name and message goes through, over the same
// text (mostly ASCII, with two- and three-byte sequences).
void BM_Utf8ToUtf16(benchmark::State& state) {
  const std::string utf8 = locmodel::Utf16ToUtf8(HtmlText());
  for (auto _ : state) benchmark::DoNotOptimize(locmodel::Utf8ToUtf16(utf8).data());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(utf8.size()));
}
void BM_Utf16ToUtf8(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(locmodel::Utf16ToUtf8(HtmlText()).data());
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(HtmlText().size() * sizeof(char16_t)));
}
BENCHMARK(BM_Utf8ToUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf16ToUtf8)->Unit(benchmark::kMillisecond);

void BM_WildcardMatch(benchmark::State& state) {
  const std::u16string names[] = {u"Dialog.rc", u"res/Strings.resx", u"MainForm.Designer.cs",
                                  u"help/index.html", u"setup.ISS", u"a.rc.rc.bak"};
  const std::u16string patterns[] = {u"*.rc", u"*.res?", u"*Form*.cs", u"help/*.htm*", u"*.iss"};
  for (auto _ : state) {
    for (const auto& name : names)
      for (const auto& pattern : patterns)
        benchmark::DoNotOptimize(CStrUtil::WildcardMatch(name, pattern, true));
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * 30);
}
BENCHMARK(BM_WildcardMatch);

void BM_WildcardPathological(benchmark::State& state) {
  const std::u16string text(100000, u'a');
  for (auto _ : state)
    benchmark::DoNotOptimize(CStrUtil::WildcardMatch(text, u"*a*a*a*a*a*b", false));
}
BENCHMARK(BM_WildcardPathological)->Unit(benchmark::kMillisecond);

void BM_Evaluate(benchmark::State& state) {
  // Five operators, three parameters.
  CConditionChecker checker(u"LANG = \"fr\" AND BRAND = \"Lite\" OR EDITION = \"pro\"");
  checker.SetParam(u"lang", u"fr");
  checker.SetParam(u"brand", u"Full");
  checker.SetParam(u"edition", u"PRO");
  for (auto _ : state) benchmark::DoNotOptimize(checker.Evaluate());
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Evaluate);

}  // namespace
