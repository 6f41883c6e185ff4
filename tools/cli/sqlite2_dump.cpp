// sqlite2-dump: every row of every table of an SQLite 2 database, read by the
// library's own reader, for inspecting legacy project databases.
#include "cli/command.h"
#include "cli/input.h"
#include "cli/json.h"
#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunSqlite2Dump(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  if (const int usage = CheckDatabasePath("sqlite2-dump", path, err)) return usage;
  const bool json = args.Has("--json");
  std::unique_ptr<Sqlite2File> file;
  const Status opened = Sqlite2File::Open(Utf8ToUtf16(path), &file);
  if (!opened.ok()) return Fail(err, path + ": " + opened.reason());
  // Gathered whole, so that damage met on the way prints nothing but the error.
  std::string text = json ? "{\"tables\":{" : "";
  bool first_table = true;
  for (const Sqlite2Table& table : file->tables()) {
    if (json) {
      if (!first_table) text.push_back(',');
      AppendJsonString(text, Utf8ToUtf16(table.name));
      text += ":[";
    } else {
      text += "table " + table.name + " (";
      for (size_t i = 0; i < table.columns.size(); ++i) text += (i ? ", " : "") + table.columns[i];
      text += ")\n";
    }
    first_table = false;
    bool first_row = true;
    Sqlite2RowCursor rows = file->Rows(table);
    while (rows.Next()) {
      const Sqlite2Row& row = rows.row();
      text += json ? (first_row ? "[" : ",[") : "  ";
      text += std::to_string(row.rowid);
      for (const auto& cell : row.columns) {
        text.push_back(json ? ',' : ' ');
        AppendJsonCell(text, cell);
      }
      text += json ? "]" : "\n";
      first_row = false;
    }
    if (!rows.status().ok()) return Fail(err, path + ": " + rows.status().ToString());
    if (json) text.push_back(']');
  }
  if (json) text += "}}\n";
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
