// Writing a large .hhp: ToString plus the UTF-8 writer for 100,000 files and
// 10,000 aliases, against appending the same lines, made beforehand, to one
// buffer (the limit: no formatting, no conversion). Target: within 2x.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "locmodel/hhp/hhp_writer.h"
#include "locmodel/util/unicode.h"

namespace {

const CHhpInfo& LargeProject() {
  static const CHhpInfo info = [] {
    CHhpInfo p;
    p.Version = 3;
    p.Language = 0x409;
    p.Title = u"Large help";
    p.ContentsFile = u"toc.hhc";
    for (int i = 0; i < 100000; ++i) p.Files.push_back(u"topics/section" + locmodel::Utf8ToUtf16(std::to_string(i)) + u".htm");
    for (int i = 0; i < 10000; ++i)
      p.AliasList.emplace_back(1000 + i, u"topics/section" + locmodel::Utf8ToUtf16(std::to_string(i)) + u".htm");
    return p;
  }();
  return info;
}

void BM_HhpToStringUtf8(benchmark::State& state) {
  const CHhpInfo& info = LargeProject();
  std::string bytes;
  for (auto _ : state) {
    if (!locmodel::EncodeHhp(info, {}, bytes).ok()) state.SkipWithError("refused");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

void BM_HhpAppendPrecomputedLines(benchmark::State& state) {
  std::vector<std::string> lines;
  {
    const std::string text = locmodel::Utf16ToUtf8(LargeProject().ToString());
    for (size_t at = 0, next; at < text.size(); at = next + 1) {
      next = text.find('\n', at);
      lines.push_back(text.substr(at, next + 1 - at));
    }
  }
  std::string bytes;
  for (auto _ : state) {
    std::string buffer;
    for (const std::string& line : lines) buffer += line;
    bytes.swap(buffer);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

BENCHMARK(BM_HhpToStringUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HhpAppendPrecomputedLines)->Unit(benchmark::kMillisecond);

}  // namespace
