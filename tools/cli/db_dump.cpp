// db-dump: every row of the five project tables of a project database,
// legacy SQLite 2 (read by the library's own reader, so every stored byte
// shows) or SQLite 3 (read through the adapter), for comparing databases.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "cli/json.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/storage/sqlite_api.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

constexpr const char* kTables[] = {"PROP", "RES_ITEM", "TRANS_ITEM", "BINARY", "VAL_STORAGE"};

using Cells = std::vector<std::optional<std::string_view>>;
// Called once per row in rowid order.
using RowSink = std::function<void(int64_t rowid, const Cells& cells)>;
// Reads the rows of the project table `name` into `sink`; a table the file
// lacks has none. False with `error` set when the file cannot be read.
using TableReader = std::function<bool(const char* name, const RowSink& sink, std::string& error)>;

struct Closer {
  void operator()(sqlite* db) const { sqlite_close(db); }
};

std::string TakeMessage(char* message) {
  std::string text = message ? message : "cannot read the database";
  sqlite_freemem(message);
  return text;
}

int Dump(const std::string& path, bool json, const TableReader& read, std::ostream& out,
         std::ostream& err) {
  // Gathered whole, so that damage met on the way prints nothing but the error.
  std::string text = json ? "{\"tables\":{" : "";
  for (const char* name : kTables) {
    if (json) {
      if (name != kTables[0]) text.push_back(',');
      text += std::string("\"") + name + "\":[";
    } else {
      text += std::string("table ") + name + "\n";
    }
    bool first = true;
    std::string error;
    const bool ok = read(name, [&](int64_t rowid, const Cells& cells) {
      text += json ? (first ? "[" : ",[") : "  ";
      text += std::to_string(rowid);
      for (const auto& cell : cells) {
        text.push_back(json ? ',' : ' ');
        AppendJsonCell(text, cell);
      }
      text += json ? "]" : "\n";
      first = false;
    }, error);
    if (!ok) return Fail(err, path + ": " + error);
    if (json) text.push_back(']');
  }
  if (json) text += "}}\n";
  out << text;
  return kOk;
}

}  // namespace

int RunDbDump(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  const bool json = args.Has("--json");
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    return Fail(err, path + ": cannot open file");
  }
  if (IsSQLiteFormat(Utf8ToUtf16(path))) {
    std::unique_ptr<Sqlite2File> file;
    const Sqlite2Status opened = Sqlite2File::Open(Utf8ToUtf16(path), &file);
    if (!opened.ok()) return Fail(err, path + ": " + opened.ToString());
    return Dump(path, json, [&](const char* name, const RowSink& sink, std::string& error) {
      const Sqlite2Table* table = file->FindTable(name);
      if (!table) return true;
      Sqlite2RowCursor rows = file->Rows(*table);
      while (rows.Next()) sink(rows.row().rowid, rows.row().columns);
      error = rows.status().ToString();
      return rows.status().ok();
    }, out, err);
  }
  char* message = nullptr;
  const std::unique_ptr<sqlite, Closer> db(sqlite_open(path.c_str(), kSqliteReadOnly, &message));
  if (!db) return Fail(err, path + ": " + TakeMessage(message));
  return Dump(path, json, [&](const char* name, const RowSink& sink, std::string& error) {
    const std::string sql = std::string("SELECT rowid, * FROM ") + name + " ORDER BY rowid";
    sqlite_vm* vm = nullptr;
    if (sqlite_compile(db.get(), sql.c_str(), nullptr, &vm, &message) != SQLITE_OK || !vm) {
      error = TakeMessage(message);
      return error.rfind("no such table", 0) == 0;
    }
    int columns = 0;
    const char** values = nullptr;
    Cells cells;
    while (sqlite_step(vm, &columns, &values, nullptr) == SQLITE_ROW) {
      cells.clear();
      for (int i = 1; i < columns; ++i)
        cells.push_back(values[i] ? std::optional<std::string_view>(values[i]) : std::nullopt);
      sink(std::strtoll(values[0], nullptr, 10), cells);
    }
    if (sqlite_finalize(vm, &message) == SQLITE_OK) return true;
    error = TakeMessage(message);
    return false;
  }, out, err);
}

}  // namespace locmodel::cli
