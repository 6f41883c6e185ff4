// xliff export / import: one language of a project out to translators as
// XLIFF, and their translations back into the project file.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/lang_common.h"
#include "locmodel/items/project_file.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"
#include "locmodel/xliff/xliff.h"

namespace locmodel::cli {
namespace {

constexpr const char* kName = "xliff";

// The one place that opens a project for these commands. A project
// database can be exported but not imported into: the library writes no
// items into databases. `gzip` learns the file's form, to keep it.
bool OpenProject(const std::string& path, bool forWriting, std::unique_ptr<CResItem>& root, bool& gzip,
                 std::ostream& err) {
  const std::u16string widePath = Utf8ToUtf16(path);
  if (forWriting && IsProjectDatabaseFile(widePath)) {
    Fail(err, path + ": a project database; import works on project files (convert it to one first)");
    return false;
  }
  // A job file belongs to the host that made it: rewritten as a project,
  // the job would be gone.
  if (forWriting && IsJobFile(path)) {
    Fail(err, path + ": a job file is read-only here");
    return false;
  }
  const Status status = LoadAnyProject(widePath, root);
  if (!status.ok() || !root) {
    Fail(err, path + ": " + (status.ok() ? "the database holds no items" : status.reason()));
    return false;
  }
  unsigned char magic[2] = {0, 0};
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    gzip = IsGzipData(magic, std::fread(magic, 1, 2, file));
    std::fclose(file);
  }
  return true;
}

// "-o OUT" arrives among the positional arguments.
bool TakeOutput(std::vector<std::string>& positional, std::string& output) {
  for (size_t i = 0; i + 1 < positional.size(); ++i) {
    if (positional[i] == "-o") {
      output = positional[i + 1];
      positional.erase(positional.begin() + static_cast<long>(i), positional.begin() + static_cast<long>(i) + 2);
      return true;
    }
  }
  return false;
}

int RunExport(const Args& args, std::vector<std::string> positional, std::ostream& out, std::ostream& err) {
  std::string output;
  if (!TakeOutput(positional, output)) return UsageError(err, kName, "export needs -o OUT ('-' for stdout)");
  if (positional.size() != 2) return UsageError(err, kName, "export takes one PROJECT");
  if (args.Has("--dry-run") || args.Has("--json")) return UsageError(err, kName, "--dry-run and --json are for import");
  const std::string* target = args.Value("--target");
  if (!target) return UsageError(err, kName, "export needs --target LANG");
  XliffExportOptions options;
  const auto lang = ParseLang(*target);
  if (!lang) return UsageError(err, kName, "unknown language '" + *target + "'");
  options.targetLang = *lang;
  if (const std::string* source = args.Value("--source")) options.sourceLang = Utf8ToUtf16(*source);
  if (const std::string* prop = args.Value("--text-prop")) options.textProp.FromString(Utf8ToUtf16(*prop));
  options.segment = args.Has("--segment");
  if (const std::string* version = args.Value("--version")) {
    if (*version != "2.0" && *version != "1.2") return UsageError(err, kName, "--version is 2.0 or 1.2");
    options.version = *version == "2.0" ? XliffVersion::V2_0 : XliffVersion::V1_2;
  }

  const std::string& project = positional[1];
  std::unique_ptr<CResItem> root;
  bool gzip = false;
  std::optional<ItemSelector> selector;
  if (const std::string* text = args.Value("--item")) {
    selector = ParseItemSelector(*text);
    if (!selector) return UsageError(err, kName, "--item " + *text + " is no item selector");
  }
  if (!OpenProject(project, false, root, gzip, err)) return kFailed;
  const CResItem* item = root.get();
  if (selector) {
    item = FindItem(*root, *selector);
    if (!item) return Fail(err, project + ": no item " + *args.Value("--item"));
  }
  options.original = Utf8ToUtf16(std::filesystem::path(project).filename().string());

  XliffExportReport report;
  std::ostream& summary = output == "-" ? err : out;
  if (output == "-") {
    // Held back until whole, so that a failure prints no partial document.
    std::ostringstream document;
    const Status status = ExportXliff(*item, options, document, &report);
    if (!status.ok()) return Fail(err, project + ": " + status.reason());
    out << document.str();
  } else {
    const Status status = ExportXliffFile(*item, options, Utf8ToUtf16(output), &report);
    if (!status.ok()) return Fail(err, (status.path() == Utf8ToUtf16(output) ? output : project) + ": " + status.reason());
  }
  if (output != "-" || report.wrongClass) {
    summary << "exported " << report.units << " units";
    if (report.wrongClass) summary << "; skipped " << report.wrongClass << " items whose text property is not a string";
    summary << "\n";
  }
  return kOk;
}

int RunImport(const Args& args, const std::vector<std::string>& positional, std::ostream& out, std::ostream& err) {
  if (positional.size() != 3) return UsageError(err, kName, "import takes PROJECT FILE.xlf");
  for (const char* option : {"--source", "--item", "--segment", "--version"}) {
    if (args.Has(option)) return UsageError(err, kName, std::string(option) + " is for export");
  }
  XliffImportOptions options;
  if (const std::string* target = args.Value("--target")) {
    const auto lang = ParseLang(*target);
    if (!lang) return UsageError(err, kName, "unknown language '" + *target + "'");
    options.targetLang = *lang;
  }
  if (const std::string* prop = args.Value("--text-prop")) options.textProp.FromString(Utf8ToUtf16(*prop));
  const bool dryRun = args.Has("--dry-run");

  const std::string& project = positional[1];
  const std::string& file = positional[2];
  std::unique_ptr<CResItem> root;
  bool gzip = false;
  if (!OpenProject(project, true, root, gzip, err)) return kFailed;
  XliffImportReport report;
  const Status status = file == "-" ? ImportXliff(*root, options, std::cin, report, dryRun, u"(stdin)")
                                        : ImportXliffFile(*root, options, Utf8ToUtf16(file), report, dryRun);
  if (!status.ok()) return Fail(err, (file == "-" ? std::string("(stdin)") : file) + ": " + status.reason());
  if (report.updated > 0 && !dryRun) {
    const Status saved = SaveProject(*root, Utf8ToUtf16(project), SaveOptions{gzip});
    if (!saved.ok()) return Fail(err, project + ": " + saved.reason());
  }
  if (args.Has("--json")) {
    out << report.ToJson() << "\n";
  } else {
    out << "updated " << report.updated << ", unchanged " << report.unchanged << ", skipped "
        << report.unknownUnit + report.sourceChanged + report.locked + report.inlineCodes + report.wrongClass
        << " (unknown unit " << report.unknownUnit << ", source changed " << report.sourceChanged << ", locked "
        << report.locked << ", inline codes " << report.inlineCodes << ", wrong class " << report.wrongClass
        << ")" << (dryRun ? " [dry run: nothing written]" : "") << "\n";
  }
  return kOk;
}

}  // namespace

int RunXliff(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& verb = args.positional[0];
  if (verb == "export") return RunExport(args, args.positional, out, err);
  if (verb == "import") return RunImport(args, args.positional, out, err);
  return UsageError(err, kName, "unknown xliff command '" + verb + "' (export or import)");
}

}  // namespace locmodel::cli
