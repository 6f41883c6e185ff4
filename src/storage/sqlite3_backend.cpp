// The SQLite 3 engine behind the SQLite 2.x interface.
#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "locmodel/storage/project_database.h"
#include "storage/database_guards.h"
#include "storage/sqlite_api.h"
#include "storage/sqlite_backend.h"

namespace locmodel::sqlite {
namespace {

// SQLite 3 gives a column declared VARIANT numeric affinity: the text "007"
// would be stored as the integer 7, "1.50" as 1.5. SQLite 2 kept every value
// as the text it was given, and the value store relies on that, so on this
// engine the value column is created without a declared type, which stores
// every value as given. This is the one statement the engine rewrites; the
// schema of such a file shows "val" without a type.
constexpr char kValueStoreSchema[] =
    "create table VAL_STORAGE ( val_key CHAR, file CHAR, val VARIANT )";
constexpr char kValueStoreSchemaSqlite3[] = "create table VAL_STORAGE ( val_key CHAR, file CHAR, val )";

// A project database holds plain tables. Statements that would run the SQL
// of a view or a trigger stored in the file, or a recursive query, are
// refused: a hostile file cannot make a read loop forever or do work of its
// choosing behind a name the storage code queries.
int Authorize(void*, int action, const char*, const char*, const char*, const char* inner) {
  if (inner || action == SQLITE_RECURSIVE) return SQLITE_DENY;
  return SQLITE_OK;
}

// SQLite's message, with the system's reason when a read or write failed
// ("disk I/O error" alone does not tell a full disk from the file-size limit).
std::string ErrorMessage(sqlite3* db, int rc) {
  std::string message = sqlite3_errmsg(db);
  int code = 0;  // the file's own record: errno has moved on since
  if ((rc & 0xFF) == SQLITE_IOERR &&
      sqlite3_file_control(db, "main", SQLITE_FCNTL_LAST_ERRNO, &code) == SQLITE_OK && code != 0)
    message.append(": ").append(std::strerror(code));
  return message;
}

class Statement final : public SqliteStatement {
 public:
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {
    const int n = sqlite3_column_count(stmt_);
    values_.assign(n, nullptr);
    for (int i = 0; i < n; ++i) names_.push_back(sqlite3_column_name(stmt_, i));
    for (int i = 0; i < n; ++i) {
      const char* type = sqlite3_column_decltype(stmt_, i);
      names_.push_back(type ? type : "");
    }
  }
  ~Statement() override { sqlite3_finalize(stmt_); }

  int Step(int& columns, const char**& values, const char**& names, std::string& error) override {
    const int rc = sqlite3_step(stmt_);
    columns = static_cast<int>(values_.size());
    names = names_.data();
    if (rc == SQLITE_ROW) {
      // SQLite 2 handed out every column as text: numbers in their decimal
      // form, blobs as their bytes.
      for (int i = 0; i < columns; ++i)
        values_[i] = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
      values = values_.data();
      return SQLITE_ROW;
    }
    if (rc == SQLITE_DONE) return SQLITE_DONE;
    const auto limit = static_cast<size_t>(sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, -1));
    error = rc == SQLITE_TOOBIG ? storage::ValueTooLarge(limit) : ErrorMessage(db_, rc);
    return rc;
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_;
  std::vector<const char*> values_;
  std::vector<const char*> names_;
};

class Sqlite3Backend final : public SqliteBackend {
 public:
  explicit Sqlite3Backend(sqlite3* db) : db_(db) {}
  ~Sqlite3Backend() override { sqlite3_close_v2(db_); }

  int Compile(const char* sql, const char*& tail, std::unique_ptr<SqliteStatement>& statement,
              std::string& error) override {
    const bool rewrite = std::strncmp(sql, kValueStoreSchema, sizeof kValueStoreSchema - 1) == 0;
    const char* text = rewrite ? kValueStoreSchemaSqlite3 : sql;
    sqlite3_stmt* stmt = nullptr;
    const char* end = nullptr;
    const int rc = sqlite3_prepare_v2(db_, text, -1, &stmt, &end);
    // After a rewrite, the caller's text goes on after the original statement.
    tail = rewrite ? sql + sizeof kValueStoreSchema - 1 : end;
    if (rc != SQLITE_OK) {
      error = sqlite3_errmsg(db_);
      return rc;
    }
    if (stmt) statement = std::make_unique<Statement>(db_, stmt);
    return SQLITE_OK;
  }

  int LastInsertRowid() override { return static_cast<int>(sqlite3_last_insert_rowid(db_)); }

  std::string CheckProjectSchema() override {
    return storage::CheckProjectSchema(
        [this](std::string_view table, storage::TableShape& shape, std::string& error) {
          return Shape(table, shape, error);
        });
  }

 private:
  // Runs `sql` with `bind` as its parameter 1, handing each row to `row`.
  template <typename Row>
  bool Query(const std::string& sql, std::string_view bind, Row row, std::string& error) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK && !bind.empty())
      rc = sqlite3_bind_text(stmt, 1, bind.data(), static_cast<int>(bind.size()), SQLITE_TRANSIENT);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      row(stmt);
      rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) return true;
    error = sqlite3_errmsg(db_);
    return false;
  }

  bool Shape(std::string_view table, storage::TableShape& shape, std::string& error) {
    using Kind = storage::TableShape::Kind;
    std::string type, sql;
    const bool listed = Query("SELECT type, sql FROM sqlite_master WHERE name = ?1 COLLATE NOCASE", table,
                              [&](sqlite3_stmt* stmt) {
                                type = Text(stmt, 0);
                                sql = Text(stmt, 1);
                              }, error);
    if (!listed || type.empty()) return listed;
    const bool isVirtual = sqlite3_strnicmp(sql.c_str(), "create virtual", 14) == 0;
    if (type != "table" || isVirtual) {
      shape.kind = Kind::kOther;
      shape.other = isVirtual ? "virtual table" : type;
      return true;
    }
    shape.kind = Kind::kTable;
    // The name is one of the library's own, never the file's.
    return Query("PRAGMA table_xinfo(\"" + std::string(table) + "\")", {}, [&](sqlite3_stmt* stmt) {
      shape.columns.push_back(Text(stmt, 1));
      shape.computed = shape.computed || sqlite3_column_int(stmt, 6) != 0;  // hidden
    }, error);
  }

  static std::string Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? text : "";
  }

  sqlite3* db_;
};

// The URI of the file at `path` opened immutable: SQLite then takes no lock
// and creates no -wal, -shm or -journal file beside it.
std::string ImmutableUri(const char* path) {
  std::error_code code;
  const std::string absolute = std::filesystem::absolute(path, code).string();
  std::string uri = "file://";
  for (const char c : code ? std::string(path) : absolute) {
    if (c == '%' || c == '?' || c == '#') {
      constexpr char kHex[] = "0123456789ABCDEF";
      uri += {'%', kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
    } else {
      uri.push_back(c);
    }
  }
  return uri + "?immutable=1";
}

}  // namespace

std::unique_ptr<SqliteBackend> OpenSqlite3(const char* path, bool readOnly, std::string& error) {
  std::string name = path;
  if (readOnly) {
    error = storage::PendingTransaction(path);
    if (!error.empty()) return nullptr;
    name = ImmutableUri(path);
  } else if (name.compare(0, 5, "file:") == 0) {
    name.insert(0, "./");  // a relative path that starts like a URI is still a file name
  }
  sqlite3* db = nullptr;
  const int flags =
      readOnly ? SQLITE_OPEN_READONLY | SQLITE_OPEN_URI : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  if (sqlite3_open_v2(name.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_set_authorizer(db, Authorize, nullptr);
  const size_t limit = std::clamp<size_t>(locmodel::MaxDatabaseValueSize(), 1, INT_MAX);
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, static_cast<int>(limit));
  return std::make_unique<Sqlite3Backend>(db);
}

}  // namespace locmodel::sqlite
