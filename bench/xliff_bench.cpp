// XLIFF interchange on a generated project of about 111,000 items (5 levels
// below the root, 10 children each, 3 translations): exporting one
// language against saving the project file (target: at most 1.5x), and
// importing that export against libxml2 parsing the same file with nothing
// done per node (target: at most 2x). The peak heap of an import beyond the
// loaded project shows that memory follows the project, not the file: the
// same for a file of one tenth of the units as for the whole.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "generated_project.h"
#include "heap_peak.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/util/unicode.h"
#include "locmodel/xliff/xliff.h"

namespace {

using bench_project::MakeProject;

constexpr int kGerman = 0x407;

struct Fixture {
  std::unique_ptr<CResItem> root = MakeProject();
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  std::u16string Path(const char* name) const { return locmodel::Utf8ToUtf16((dir / name).string()); }
  // The export of the whole project and of one tenth of it.
  std::u16string whole = Export(*root, "locmodel-bench-whole.xlf");
  std::u16string tenth = Export(*root->GetResItems()[0], "locmodel-bench-tenth.xlf");

  std::u16string Export(const CResItem& item, const char* name) const {
    locmodel::XliffExportOptions options;
    options.targetLang = kGerman;
    const std::u16string path = Path(name);
    if (!locmodel::ExportXliffFile(item, options, path).ok()) std::abort();
    return path;
  }
};
Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BM_XliffBaselineSaveProject(benchmark::State& state) {
  Fixture& f = TheFixture();
  const std::u16string path = f.Path("locmodel-bench-xliff.lmp");
  for (auto _ : state) {
    if (!locmodel::SaveProject(*f.root, path).ok()) state.SkipWithError("save failed");
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(locmodel::Utf16ToUtf8(path))) / 1e6;
}
BENCHMARK(BM_XliffBaselineSaveProject)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XliffExport(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) f.Export(*f.root, "locmodel-bench-export.xlf");
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(locmodel::Utf16ToUtf8(f.whole))) / 1e6;
}
BENCHMARK(BM_XliffExport)->Unit(benchmark::kMillisecond)->UseRealTime();

// libxml2 reading the export node by node and doing nothing with it.
void BM_XliffBaselineReaderParse(benchmark::State& state) {
  Fixture& f = TheFixture();
  const std::string path = locmodel::Utf16ToUtf8(f.whole);
  for (auto _ : state) {
    xmlTextReaderPtr reader = xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET);
    size_t nodes = 0;
    while (xmlTextReaderRead(reader) == 1) ++nodes;
    xmlFreeTextReader(reader);
    benchmark::DoNotOptimize(nodes);
  }
}
BENCHMARK(BM_XliffBaselineReaderParse)->Unit(benchmark::kMillisecond)->UseRealTime();

// libxml2's SAX parser over the same bytes in the same chunks as the
// import, with no handler at all: the floor under the import's own work.
void BM_XliffBaselineSaxParse(benchmark::State& state) {
  Fixture& f = TheFixture();
  std::ifstream file(locmodel::Utf16ToUtf8(f.whole), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (auto _ : state) {
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr);
    constexpr size_t kChunk = 1 << 16;
    for (size_t at = 0; at < bytes.size(); at += kChunk) {
      const size_t n = std::min(kChunk, bytes.size() - at);
      xmlParseChunk(ctxt, bytes.data() + at, static_cast<int>(n), at + n == bytes.size());
    }
    benchmark::DoNotOptimize(ctxt->wellFormed);
    xmlFreeParserCtxt(ctxt);
  }
}
BENCHMARK(BM_XliffBaselineSaxParse)->Unit(benchmark::kMillisecond)->UseRealTime();

// The unchanged export read back: every unit matched and compared, nothing
// written, as after a round trip without edits.
void BM_XliffImport(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    locmodel::XliffImportReport report;
    if (!locmodel::ImportXliffFile(*f.root, {}, f.whole, report).ok() || report.updated != 0)
      state.SkipWithError("import failed");
  }
}
BENCHMARK(BM_XliffImport)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XliffImportPeak(benchmark::State& state) {
  Fixture& f = TheFixture();
  const std::u16string& path = state.range(0) ? f.whole : f.tenth;
  long long peak = 0;
  for (auto _ : state) {
    HeapPeak heap;
    locmodel::XliffImportReport report;
    if (!locmodel::ImportXliffFile(*f.root, {}, path, report).ok()) state.SkipWithError("import failed");
    peak = heap.Peak();
  }
  state.counters["peak_KB"] = static_cast<double>(peak) / 1024;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(locmodel::Utf16ToUtf8(path))) / 1e6;
}
BENCHMARK(BM_XliffImportPeak)->Arg(0)->Arg(1)->ArgNames({"whole"})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
