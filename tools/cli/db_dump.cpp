// db-dump and db-upgrade: the rows of the five project tables of a project
// database, legacy SQLite 2 or SQLite 3, dumped for comparing databases, or
// copied into a new SQLite 3 database.
#include <string>

#include "cli/command.h"
#include "cli/json.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunDbDump(const Args& args, std::ostream& out, std::ostream& err) {
  const bool json = args.Has("--json");
  ProjectTables tables;
  if (const Status opened = tables.Open(Utf8ToUtf16(args.positional[0])); !opened.ok())
    return Fail(err, opened.ToString());
  // Gathered whole, so that damage met on the way prints nothing but the error.
  std::string text = json ? "{\"tables\":{" : "";
  for (const char* name : kProjectTables) {
    if (json) {
      if (name != kProjectTables[0]) text.push_back(',');
      text += std::string("\"") + name + "\":[";
    } else {
      text += std::string("table ") + name + "\n";
    }
    bool first = true;
    const Status read = tables.Read(name, [&](int64_t rowid, const DbCells& cells, const std::vector<std::string>&) {
      text += json ? (first ? "[" : ",[") : "  ";
      text += std::to_string(rowid);
      for (const auto& cell : cells) {
        text.push_back(json ? ',' : ' ');
        AppendJsonCell(text, cell);
      }
      text += json ? "]" : "\n";
      first = false;
    });
    if (!read.ok()) return Fail(err, read.ToString());
    if (json) text.push_back(']');
  }
  if (json) text += "}}\n";
  out << text;
  return kOk;
}

int RunDbUpgrade(const Args& args, std::ostream&, std::ostream& err) {
  const Status status =
      UpgradeProjectDatabase(Utf8ToUtf16(args.positional[0]), Utf8ToUtf16(args.positional[1]));
  return status.ok() ? kOk : Fail(err, status.ToString());
}

}  // namespace locmodel::cli
