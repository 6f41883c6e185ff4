// migrate: an old project database turned into a project file, its value
// store carried over as configuration properties of the root.
//
// Every row of the value store shows on the way: as a "read" line when the
// conversion took it, as a warning line otherwise, so that nothing an old
// project held is dropped without a word.
#include <sys/stat.h>

#include <string>

#include "cli/command.h"
#include "cli/input.h"
#include "cli/project_output.h"
#include "cli/value_text.h"
#include "locmodel/config/migration.h"
#include "locmodel/items/project_file.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// Whether both paths lead to one existing file, however they spell it
// (relative, through links or hard links).
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// "KEY: REASON", "KEY (file FILE): REASON", the table name standing for KEY
// where rows were not attached.
std::string WarningText(const MigrationWarning& warning) {
  std::string text = Utf16ToUtf8(warning.key);
  if (!warning.file.empty()) text += " (file " + Utf16ToUtf8(warning.file) + ")";
  return text + ": " + Utf16ToUtf8(warning.reason);
}

// "set NAME = VALUE" for each configuration property of `root`, in name
// order, in the form `config get` prints; returns how many.
size_t AppendSetLines(const CResItem& root, std::string& text) {
  const auto& props = root.GetCfgProps().GetPropCont();
  for (const auto& [name, value] : props) {
    text += "set " + PropNameText(name) + " = ";
    if (!AppendValueText(text, *value)) text += "null";
    text.push_back('\n');
  }
  return props.size();
}

}  // namespace

int RunMigrate(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& source = args.positional[0];
  const std::string& target = args.positional[1];
  if (const int usage = CheckDatabasePath("migrate", source, err)) return usage;
  if (SameFile(source, target))
    return UsageError(err, "migrate", "'" + target + "' names the input file, which is never written");
  if (const int usage = CheckProjectTarget("migrate", target, err)) return usage;
  SaveOptions options;
  if (const int usage = ReadGzipOption("migrate", args, options, err)) return usage;
  const bool dryRun = args.Has("--dry-run");

  MigrationResult result;
  if (const Status status = MigrateOldProject(Utf8ToUtf16(source), result); !status.ok())
    return Fail(err, status.ToString());

  for (const std::u16string& error : result.errors) err << "locmodel: error: " << source << ": " << Utf16ToUtf8(error) << "\n";
  for (const MigrationWarning& warning : result.warnings)
    err << "locmodel: warning: " << source << ": " << WarningText(warning) << "\n";

  std::string text;
  for (const MigratedSetting& setting : result.read)
    text += "read " + Utf16ToUtf8(setting.key) + " = " + Utf16ToUtf8(setting.value) + "\n";
  const size_t set = AppendSetLines(*result.root, text);
  const std::string counts = std::to_string(result.items) + " items, " + std::to_string(result.read.size()) +
                             " settings read, " + std::to_string(set) + " properties set, " +
                             std::to_string(result.warnings.size()) + " warnings\n";

  // --strict turns the run into a check: the lines still show what the
  // conversion would make of the project.
  const bool refused = args.Has("--strict") && !result.warnings.empty();
  if (dryRun || refused) {
    out << text << "checked " << source << ": " << counts;
    if (refused) return Fail(err, source + ": warnings with --strict; nothing written");
    return kOk;
  }
  if (const Status status = SaveProject(*result.root, Utf8ToUtf16(target), options); !status.ok()) {
    out << text;
    return Fail(err, status.ToString());
  }
  out << text << "migrated " << source << " -> " << target << ": " << counts;
  return kOk;
}

}  // namespace locmodel::cli
