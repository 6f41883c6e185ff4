#include "storage/sqlite_api.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "storage/file_probe.h"
#include "storage/sqlite_backend.h"

namespace locmodel::sqlite_api {

using locmodel::sqlite::SqliteBackend;
using locmodel::sqlite::SqliteStatement;

struct sqlite {
  std::unique_ptr<SqliteBackend> backend;
};

struct sqlite_vm {
  std::unique_ptr<SqliteStatement> statement;
  std::string error;  // of the step that failed, for sqlite_finalize
  int result = SQLITE_OK;
};

namespace {

// Hands a message out as SQLite 2 did: malloc'ed, for sqlite_freemem.
void SetMessage(char** out, const std::string& message) {
  if (!out) return;
  *out = static_cast<char*>(std::malloc(message.size() + 1));
  if (*out) std::memcpy(*out, message.c_str(), message.size() + 1);
}

// Formats the conversions sqlite_exec_printf knows; false on another one.
bool Format(const char* format, va_list args, std::string& sql) {
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      sql.push_back(*p);
      continue;
    }
    switch (*++p) {
      case 'd': sql += std::to_string(va_arg(args, int)); break;
      case '%': sql.push_back('%'); break;
      case 'Q': {
        const char* text = va_arg(args, const char*);
        if (!text) {
          sql += "NULL";
          break;
        }
        sql.push_back('\'');
        for (; *text; ++text) {
          if (*text == '\'') sql.push_back('\'');
          sql.push_back(*text);
        }
        sql.push_back('\'');
        break;
      }
      default: return false;  // also a '%' at the very end
    }
  }
  return true;
}

}  // namespace

sqlite* sqlite_open(const char* filename, int mode, char** errmsg) {
  const bool readOnly = mode == kSqliteReadOnly;
  std::string error;
  std::unique_ptr<SqliteBackend> backend;
  switch (storage::ProbeFile(filename)) {
    case storage::DbFileKind::kSqlite2:
      // Legacy files are only ever read, whatever the mode.
      backend = locmodel::sqlite::OpenSqlite2(filename, error);
      break;
    case storage::DbFileKind::kOther:
      SetMessage(errmsg, "file is not a database");
      return nullptr;
    default:  // SQLite 3 decides about a missing or empty file
      backend = locmodel::sqlite::OpenSqlite3(filename, readOnly, error);
      break;
  }
  if (!backend) {
    SetMessage(errmsg, error);
    return nullptr;
  }
  return new sqlite{std::move(backend)};
}

void sqlite_close(sqlite* db) { delete db; }

int sqlite_exec(sqlite* db, const char* sql, sqlite_callback callback, void* arg,
                char** errmsg) {
  const char* rest = sql;
  while (rest && *rest) {
    sqlite_vm* vm = nullptr;
    const char* start = rest;
    int rc = sqlite_compile(db, start, &rest, &vm, errmsg);
    if (rc != SQLITE_OK) return rc;
    if (!vm) {  // an empty statement (";") or only blanks
      if (rest == start) break;
      continue;
    }
    int columns = 0;
    const char** values = nullptr;
    const char** names = nullptr;
    while ((rc = sqlite_step(vm, &columns, &values, &names)) == SQLITE_ROW) {
      if (callback && callback(arg, columns, const_cast<char**>(values), const_cast<char**>(names))) {
        sqlite_finalize(vm, nullptr);
        SetMessage(errmsg, "callback requested query abort");
        return SQLITE_ABORT;
      }
    }
    rc = sqlite_finalize(vm, errmsg);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

int sqlite_exec_printf(sqlite* db, const char* format, sqlite_callback callback, void* arg,
                       char** errmsg, ...) {
  va_list args;
  va_start(args, errmsg);
  std::string sql;
  const bool known = Format(format, args, sql);
  va_end(args);
  if (!known) {
    SetMessage(errmsg, "unsupported conversion in statement format");
    return SQLITE_MISUSE;
  }
  return sqlite_exec(db, sql.c_str(), callback, arg, errmsg);
}

int sqlite_compile(sqlite* db, const char* sql, const char** tail, sqlite_vm** vm,
                   char** errmsg) {
  if (vm) *vm = nullptr;
  if (!db || !sql || !vm) {
    SetMessage(errmsg, "library routine called out of sequence");
    return SQLITE_MISUSE;
  }
  std::unique_ptr<SqliteStatement> statement;
  std::string error;
  const char* rest = sql;
  const int rc = db->backend->Compile(sql, rest, statement, error);
  if (tail) *tail = rest;
  if (rc != SQLITE_OK) {
    SetMessage(errmsg, error);
    return rc;
  }
  if (statement) *vm = new sqlite_vm{std::move(statement), {}, SQLITE_OK};
  return SQLITE_OK;
}

int sqlite_step(sqlite_vm* vm, int* columns, const char*** values, const char*** names) {
  if (!vm) return SQLITE_MISUSE;
  // A failed or finished statement stays so, as SQLite 2's did.
  if (vm->result != SQLITE_OK) return vm->result == SQLITE_DONE ? SQLITE_DONE : SQLITE_MISUSE;
  int n = 0;
  const char** v = nullptr;
  const char** c = nullptr;
  const int rc = vm->statement->Step(n, v, c, vm->error);
  if (rc != SQLITE_ROW) vm->result = rc;
  if (columns) *columns = n;
  if (values) *values = rc == SQLITE_ROW ? v : nullptr;
  if (names) *names = c;
  return rc;
}

int sqlite_finalize(sqlite_vm* vm, char** errmsg) {
  if (!vm) return SQLITE_OK;
  const int rc = vm->result == SQLITE_DONE ? SQLITE_OK : vm->result;
  if (rc != SQLITE_OK && !vm->error.empty()) SetMessage(errmsg, vm->error);
  delete vm;
  return rc;
}

int sqlite_last_insert_rowid(sqlite* db) { return db ? db->backend->LastInsertRowid() : 0; }

void sqlite_freemem(void* p) { std::free(p); }

int sqlite_check_project_schema(sqlite* db, char** errmsg) {
  if (!db) {
    SetMessage(errmsg, "library routine called out of sequence");
    return SQLITE_MISUSE;
  }
  const std::string refused = db->backend->CheckProjectSchema();
  if (refused.empty()) return SQLITE_OK;
  SetMessage(errmsg, refused);
  return SQLITE_ERROR;
}

}  // namespace locmodel::sqlite_api
