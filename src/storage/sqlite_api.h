// Internal: the SQLite 2.x C interface the project database is written
// against, answered by a thin adapter. Its names live in a namespace of
// their own, so that they never meet those of a real SQLite 2 library in a
// program that links both. The storage code calls these functions and
// nothing else, so it reads exactly as it did over SQLite 2.8; which engine
// answers is the adapter's business: SQLite 3 through libsqlite3, and for a
// legacy SQLite 2 file a read-only engine over the library's own reader that
// answers exactly the storage code's statements (with SQLite 2's
// comparisons) and fails every other one, each write among them, with a
// message.
//
// Texts are UTF-8. Error messages handed out through `char**` arguments are
// allocated here and belong to the caller, who releases them with
// sqlite_freemem; no message is handed out when there is none.
//
// Deviations from SQLite 2 that the engine forces, and how they are met:
// - SQLite 3 gives the declared type VARIANT numeric affinity, which would
//   turn the text "007" into 7. SQLite 2 stored every value as the text it
//   was given, so the SQLite 3 engine creates the value column of
//   VAL_STORAGE without a declared type (see sqlite3_backend.cpp); every
//   text then comes back exactly as it went in.
// - SQLite 3 "opens" any file and fails on first use, and creates a file
//   that does not exist. sqlite_open therefore refuses a non-empty file that
//   is not an SQLite 3 database at once, and the read-only mode refuses a
//   missing file and never writes. A legacy SQLite 2 file is opened
//   read-only in either mode.
#pragma once

// Result codes, with the values SQLite 2 and SQLite 3 share.
#define SQLITE_OK 0
#define SQLITE_ERROR 1
#define SQLITE_ABORT 4
#define SQLITE_MISUSE 21
#define SQLITE_ROW 100
#define SQLITE_DONE 101

namespace locmodel::sqlite_api {

struct sqlite;     // an open database connection
struct sqlite_vm;  // a compiled statement

// Called once per result row by sqlite_exec: the column count, the values
// (UTF-8 or null) and the column names. Non-zero aborts the statement.
typedef int (*sqlite_callback)(void* arg, int columns, char** values, char** names);

// Modes of sqlite_open. SQLite 2 ignored the argument and callers pass 0;
// kSqliteReadOnly opens an existing file without ever writing to it.
constexpr int kSqliteReadWrite = 0;
constexpr int kSqliteReadOnly = 1;

// Opens (creating it in read-write mode) the database at `filename`. Null on
// failure, with the reason in *errmsg.
sqlite* sqlite_open(const char* filename, int mode, char** errmsg);
// Closes the connection; null is ignored. Compiled statements must have
// been finalized.
void sqlite_close(sqlite* db);

// Runs every statement of `sql` in turn, calling `callback` (which may be
// null) for each row. Stops at the first error.
int sqlite_exec(sqlite* db, const char* sql, sqlite_callback callback, void* arg,
                char** errmsg);
// sqlite_exec of `format` with its conversions replaced: %d an int, %Q a
// text in single quotes with inner quotes doubled (NULL for a null pointer),
// %% a percent sign. Any other conversion fails the call.
int sqlite_exec_printf(sqlite* db, const char* format, sqlite_callback callback, void* arg,
                       char** errmsg, ...);

// Compiles the first statement of `sql`; *tail (if tail is given) points
// past it. On failure *vm is null and *errmsg holds the reason; an `sql` of
// blanks alone compiles to no statement (SQLITE_OK, *vm null).
int sqlite_compile(sqlite* db, const char* sql, const char** tail, sqlite_vm** vm,
                   char** errmsg);
// Runs the statement to its next row: SQLITE_ROW with *columns values
// (UTF-8 text or null, whatever their stored type) and 2 × *columns names
// (the column names, then their declared types), valid until the next step
// or the finalize; SQLITE_DONE at the end; another code on failure, whose
// message sqlite_finalize gives. Output pointers may be null.
int sqlite_step(sqlite_vm* vm, int* columns, const char*** values, const char*** names);
// Destroys the statement; the message of a failed step, if any, in *errmsg.
int sqlite_finalize(sqlite_vm* vm, char** errmsg);

// The rowid of the last row inserted through `db`.
int sqlite_last_insert_rowid(sqlite* db);
// Releases a message handed out by these functions; null is ignored.
void sqlite_freemem(void* p);

// Not of SQLite 2: SQLITE_OK when every project table the database holds is
// a plain table with exactly the columns this library creates it with (a
// missing table is no fault); otherwise SQLITE_ERROR with the one-line
// reason in *errmsg. Readers call it before they read rows.
int sqlite_check_project_schema(sqlite* db, char** errmsg);

// The binary text encoding SQLite 2.8 used to keep bytes in a text column.
// The first character is an offset e (1..255, never the quote) chosen to
// need the fewest escapes, the lowest such; every byte b is written as
// (b - e) mod 256, where 0, 1 and the quote become the pairs 01 01, 01 02
// and 01 03. `out` must hold 2 × n + 2 bytes; it receives a NUL-terminated
// text and its length without the NUL is returned. No bytes encode as "x".
int sqlite_encode_binary(const unsigned char* in, int n, unsigned char* out);
// Decodes the NUL-terminated `in` into `out` (room for strlen(in) bytes);
// the number of bytes, or -1 on an escape other than 01 01..01 03 or one cut
// short by the terminator.
int sqlite_decode_binary(const unsigned char* in, unsigned char* out);

}  // namespace locmodel::sqlite_api
