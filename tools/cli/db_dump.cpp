// db-dump and db-upgrade: the rows of the five project tables of a project
// database, legacy SQLite 2 or SQLite 3, dumped for comparing databases, or
// copied into a new SQLite 3 database.
#include <string>

#include "cli/command.h"
#include "cli/input.h"
#include "cli/progress.h"
#include "cli/json.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunDbDump(const Args& args, std::ostream& out, std::ostream& err) {
  if (const int usage = CheckProgressOptions("db-dump", args, err)) return usage;
  if (const int usage = CheckDatabasePath("db-dump", args.positional[0], err)) return usage;
  const bool json = args.Has("--json");
  ProgressLine progress(args, err);
  ProjectTables tables;
  if (const Status opened = tables.Open(Utf8ToUtf16(args.positional[0])); !opened.ok())
    return Fail(err, opened.ToString());
  // Gathered whole, so that damage met on the way prints nothing but the error.
  std::string text = json ? "{\"tables\":{" : "";
  for (const char* name : kProjectTables) {
    if (json) {
      if (text.back() != '{') text.push_back(',');
      text += std::string("\"") + name + "\":[";
    } else {
      text += std::string("table ") + name + "\n";
    }
    bool first = true;
    uint64_t rows = 0;
    progress.Stage(std::string("reading table ") + name, ProgressLine::Unit::kRows);
    const Status read = tables.Read(name, [&](int64_t rowid, const DbCells& cells, const std::vector<std::string>&) {
      progress.Update(++rows);
      text += json ? (first ? "[" : ",[") : "  ";
      text += std::to_string(rowid);
      for (const auto& cell : cells) {
        text.push_back(json ? ',' : ' ');
        AppendJsonCell(text, cell);
      }
      text += json ? "]" : "\n";
      first = false;
    });
    progress.Update(rows, 0, true);
    if (!read.ok()) {
      progress.Finish();
      return Fail(err, read.ToString());
    }
    if (json) text.push_back(']');
  }
  progress.Finish();
  if (json) text += "}}\n";
  out << text;
  return kOk;
}

int RunDbUpgrade(const Args& args, std::ostream&, std::ostream& err) {
  if (const int usage = CheckProgressOptions("db-upgrade", args, err)) return usage;
  if (const int usage = CheckDatabasePath("db-upgrade", args.positional[0], err)) return usage;
  ProgressLine progress(args, err);
  progress.Stage("copying " + args.positional[0], ProgressLine::Unit::kSeconds);
  Status status;
  // The copy is one library call that reports no progress: the line shows
  // that it is still working.
  progress.WhileRunning([&] {
    status = UpgradeProjectDatabase(Utf8ToUtf16(args.positional[0]), Utf8ToUtf16(args.positional[1]));
  });
  progress.Finish();
  return status.ok() ? kOk : Fail(err, status.ToString());
}

}  // namespace locmodel::cli
