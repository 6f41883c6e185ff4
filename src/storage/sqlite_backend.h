// Internal: the engines behind the SQLite 2.x interface of sqlite_api.h.
//
// A connection holds one SqliteBackend; sqlite_exec, sqlite_exec_printf and
// the handling of messages are written once in sqlite_api.cpp over the two
// things an engine must do: compile a statement and step it. An engine
// reports failures as result codes with a message in words; it never
// throws.
#pragma once

#include <memory>
#include <string>

namespace locmodel::sqlite {

// One compiled statement.
class SqliteStatement {
 public:
  virtual ~SqliteStatement() = default;
  // SQLITE_ROW with the row in the out-parameters (as sqlite_step describes
  // them), SQLITE_DONE at the end, another code on failure with `error` set.
  virtual int Step(int& columns, const char**& values, const char**& names,
                   std::string& error) = 0;
};

class SqliteBackend {
 public:
  virtual ~SqliteBackend() = default;
  // Compiles the first statement of `sql`, setting `tail` past it. SQLITE_OK
  // with a null `statement` when `sql` holds no statement; on failure a code
  // and `error`.
  virtual int Compile(const char* sql, const char*& tail,
                      std::unique_ptr<SqliteStatement>& statement, std::string& error) = 0;
  virtual int LastInsertRowid() = 0;
  // Empty when the project tables the database holds are shaped as this
  // library creates them; otherwise why not (CheckProjectSchema).
  virtual std::string CheckProjectSchema() = 0;
};

// The SQLite 3 engine over the file at `path` (UTF-8), opened for reading
// and writing (created when missing) or read-only. Read-only it is opened
// as immutable, so that nothing is ever created beside it, and refused when
// a journal or write-ahead log beside it holds what the file alone lacks.
// Every connection caps a value at MaxDatabaseValueSize(). Null with `error`
// set when the file cannot be opened. The caller has checked the header.
std::unique_ptr<SqliteBackend> OpenSqlite3(const char* path, bool readOnly, std::string& error);

// The read-only engine over the legacy SQLite 2 file at `path` (UTF-8): it
// answers the fixed statements of the storage code from the file and
// refuses every other one. Null with `error` set ("cannot open file",
// "malformed legacy database: REASON") when the file cannot be read.
std::unique_ptr<SqliteBackend> OpenSqlite2(const char* path, std::string& error);

}  // namespace locmodel::sqlite
