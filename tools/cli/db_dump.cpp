// db-dump and db-upgrade: the rows of the five project tables of a project
// database, legacy SQLite 2 (read by the library's own reader, so every
// stored byte shows) or SQLite 3 (read through the adapter); dumped for
// comparing databases, or copied into a new SQLite 3 database.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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
#include "locmodel/storage/storage.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

constexpr const char* kTables[] = {"PROP", "RES_ITEM", "TRANS_ITEM", "BINARY", "VAL_STORAGE"};

using Cells = std::vector<std::optional<std::string_view>>;
// Called once per row in rowid order, with the column names of the table.
using RowSink =
    std::function<void(int64_t rowid, const Cells& cells, const std::vector<std::string>& names)>;

struct Closer {
  void operator()(sqlite* db) const { sqlite_close(db); }
};

std::string TakeMessage(char* message) {
  std::string text = message ? message : "cannot read the database";
  sqlite_freemem(message);
  return text;
}

// The project tables of a database of either format, opened read-only.
class ProjectTables {
 public:
  // False with `error` set when the file cannot be opened.
  bool Open(const std::string& path, std::string& error) {
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
      std::fclose(f);
    } else {
      error = "cannot open file";
      return false;
    }
    if (IsSQLiteFormat(Utf8ToUtf16(path))) {
      const Sqlite2Status opened = Sqlite2File::Open(Utf8ToUtf16(path), &legacy_);
      error = opened.ToString();
      return opened.ok();
    }
    char* message = nullptr;
    db_.reset(sqlite_open(path.c_str(), kSqliteReadOnly, &message));
    if (db_) return true;
    error = TakeMessage(message);
    return false;
  }

  // Hands the rows of the project table `name` to `sink`; a table the file
  // lacks has none. False with `error` set when the file cannot be read.
  bool Read(const char* name, const RowSink& sink, std::string& error) const {
    if (legacy_) {
      const Sqlite2Table* table = legacy_->FindTable(name);
      if (!table) return true;
      Sqlite2RowCursor rows = legacy_->Rows(*table);
      while (rows.Next()) sink(rows.row().rowid, rows.row().columns, table->columns);
      error = rows.status().ToString();
      return rows.status().ok();
    }
    const std::string sql = std::string("SELECT rowid, * FROM ") + name + " ORDER BY rowid";
    sqlite_vm* vm = nullptr;
    char* message = nullptr;
    if (sqlite_compile(db_.get(), sql.c_str(), nullptr, &vm, &message) != SQLITE_OK || !vm) {
      error = TakeMessage(message);
      return error.rfind("no such table", 0) == 0;
    }
    int columns = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    Cells cells;
    std::vector<std::string> columnNames;
    while (sqlite_step(vm, &columns, &values, &names) == SQLITE_ROW) {
      cells.clear();
      columnNames.clear();
      for (int i = 1; i < columns; ++i) {
        cells.push_back(values[i] ? std::optional<std::string_view>(values[i]) : std::nullopt);
        columnNames.emplace_back(names[i]);
      }
      sink(std::strtoll(values[0], nullptr, 10), cells, columnNames);
    }
    if (sqlite_finalize(vm, &message) == SQLITE_OK) return true;
    error = TakeMessage(message);
    return false;
  }

 private:
  std::unique_ptr<Sqlite2File> legacy_;
  std::unique_ptr<sqlite, Closer> db_;
};

// A text as an SQL literal: quoted with inner quotes doubled, or NULL.
void AppendLiteral(std::string& sql, const std::optional<std::string_view>& cell) {
  if (!cell) {
    sql += "NULL";
    return;
  }
  sql.push_back('\'');
  for (const char c : *cell) {
    if (c == '\0') break;  // the engine kept C strings
    if (c == '\'') sql.push_back('\'');
    sql.push_back(c);
  }
  sql.push_back('\'');
}

// Copies every row of `tables` into the new database at `path`, made with
// the project schema. False on the first failure, with `error` set and
// `*source` telling whether reading (not writing) failed.
bool Copy(const ProjectTables& tables, const std::string& path, std::string& error, bool* source) {
  *source = false;
  {
    CStorage storage(Utf8ToUtf16(path));
    if (!storage.IsGood()) {
      error = "cannot create the database";
      return false;
    }
    storage.CreateDb();
  }
  char* message = nullptr;
  const std::unique_ptr<sqlite, Closer> db(sqlite_open(path.c_str(), kSqliteReadWrite, &message));
  if (!db) {
    error = TakeMessage(message);
    return false;
  }
  bool ok = sqlite_exec(db.get(), "begin;", nullptr, nullptr, &message) == SQLITE_OK;
  for (const char* name : kTables) {
    if (!ok) break;
    const bool read = tables.Read(name, [&](int64_t rowid, const Cells& cells, const std::vector<std::string>& names) {
      if (!ok) return;
      std::string sql = std::string("INSERT INTO ") + name + " ( rowid";
      for (size_t i = 0; i < cells.size(); ++i) {
        sql += ", \"";  // a quoted name: the source's names are not trusted
        for (const char c : names[i]) sql.append(c == '"' ? 2 : 1, c);
        sql.push_back('"');
      }
      sql += " ) VALUES ( " + std::to_string(rowid);
      for (const auto& cell : cells) {
        sql += ", ";
        AppendLiteral(sql, cell);
      }
      sql += " )";
      ok = sqlite_exec(db.get(), sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
    }, error);
    *source = !read;
    ok = ok && read;
  }
  if (ok) ok = sqlite_exec(db.get(), "commit;", nullptr, nullptr, &message) == SQLITE_OK;
  if (!ok && error.empty()) error = TakeMessage(message);
  else sqlite_freemem(message);
  return ok;
}

}  // namespace

int RunDbDump(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  const bool json = args.Has("--json");
  ProjectTables tables;
  std::string error;
  if (!tables.Open(path, error)) return Fail(err, path + ": " + error);
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
    const bool ok = tables.Read(name, [&](int64_t rowid, const Cells& cells, const std::vector<std::string>&) {
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

int RunDbUpgrade(const Args& args, std::ostream&, std::ostream& err) {
  const std::string& from = args.positional[0];
  const std::string& to = args.positional[1];
  namespace fs = std::filesystem;
  std::error_code code;
  if (fs::exists(fs::path(to), code) || code) return Fail(err, to + ": file exists");
  ProjectTables tables;
  std::string error;
  if (!tables.Open(from, error)) return Fail(err, from + ": " + error);
  bool source = false;
  const std::string failure = ReplaceFileWith(Utf8ToUtf16(to), [&](const std::u16string& file) {
    // The new file is empty, which SQLite takes for a new database.
    return Copy(tables, Utf16ToUtf8(file), error, &source);
  });
  if (!failure.empty()) return Fail(err, (source ? from : to) + ": " + (error.empty() ? failure : error));
  return kOk;
}

}  // namespace locmodel::cli
