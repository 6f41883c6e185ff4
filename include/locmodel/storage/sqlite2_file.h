// Sqlite2File: a strictly read-only reader of SQLite 2.1 database files, the
// format SQLite 2.1 through 2.8 write ("** This file contains an SQLite 2.1
// database **"), in which projects of the older format keep their database.
// The SQLite 2 library is not used; the format as this reader understands it
// is described in doc/sqlite2-format.md.
//
// Trust: every file is hostile. Open() checks the whole file before it hands
// out a handle: the header, every b-tree listed in the schema (tables with
// their keys and row records, indexes by structure only), every overflow
// chain and the free list, and that no page serves twice. A file that passes
// is walked again by the cursors with the same checks, so a file changed
// behind the reader's back still yields an error, never a crash.
//
// Failure: nothing throws. Every fault is a Status: kCannotOpen ("cannot
// open file") or kMalformed ("malformed legacy database: REASON"), naming
// the file when Open() was given one; Open() hands out no handle unless the
// status is ok. The reader never
// reads outside a page, bounds every chain and the depth of every tree, and
// allocates no more than the bytes actually read (a row never exceeds the
// 1 MiB SQLite 2 writes at most). A value longer than MaxDatabaseValueSize()
// (project_database.h) fails the read with kTooLarge.
//
// Ownership: Open() gives the caller the Sqlite2File. Tables, cursors and the
// rows they show borrow from it and must not outlive it.
//
// Threads: one call at a time per file and its cursors.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locmodel/util/status.h"

namespace locmodel {

namespace sqlite2 {
class Pager;
class PageSet;
}  // namespace sqlite2

// A table the schema lists.
struct Sqlite2Table {
  std::string name;                  // as written in its CREATE statement
  uint32_t root_page = 0;            // root of its b-tree
  std::vector<std::string> columns;  // column names in declaration order

  // The position of the column named `name` (compared as SQL compares
  // names), or nullopt.
  std::optional<size_t> FindColumn(std::string_view name) const;
};

// One row of a table.
struct Sqlite2Row {
  int32_t rowid = 0;
  // Each column's stored bytes without their terminating NUL, or nullopt for
  // NULL; one entry per column of the table. SQLite 2 stores every value as
  // text: numbers keep the text they were written with ("007", "1.50").
  std::vector<std::optional<std::string_view>> columns;
};

// Walks one table's rows in increasing rowid order (what ORDER BY rowid
// gives). Every page of the walk is read once; nothing is read ahead.
class Sqlite2RowCursor {
 public:
  Sqlite2RowCursor(Sqlite2RowCursor&&) noexcept;
  Sqlite2RowCursor& operator=(Sqlite2RowCursor&&) noexcept;
  ~Sqlite2RowCursor();

  // Moves to the next row. False at the end and on damage; status() tells
  // which. After false, every further call returns false.
  bool Next();
  // The current row, after Next() returned true; its views stay valid until
  // the next call of Next() or the cursor's end.
  const Sqlite2Row& row() const { return row_; }
  const Status& status() const;

 private:
  friend class Sqlite2File;
  struct Impl;
  explicit Sqlite2RowCursor(std::unique_ptr<Impl> impl);

  std::unique_ptr<Impl> impl_;
  Sqlite2Row row_;
};

class Sqlite2File {
 public:
  // Opens and checks the database at `path`. Refuses a file with a
  // "-journal" file beside it that holds a transaction: one only SQLite 2
  // itself could roll back. On success `*file` holds the reader; otherwise it is
  // left empty.
  static Status Open(std::u16string_view path, std::unique_ptr<Sqlite2File>* file);
  // The same for a file's bytes held in memory.
  static Status OpenBytes(std::string bytes, std::unique_ptr<Sqlite2File>* file);

  ~Sqlite2File();
  Sqlite2File(const Sqlite2File&) = delete;
  Sqlite2File& operator=(const Sqlite2File&) = delete;

  // The tables in the order the schema lists them (views, indexes and
  // triggers are not tables).
  const std::vector<Sqlite2Table>& tables() const { return tables_; }
  // The schema table itself ("sqlite_master": type, name, tbl_name, rootpage,
  // sql).
  const Sqlite2Table& schema_table() const { return schema_; }
  // The table named `name`, compared as SQL compares names (ASCII letters
  // without regard to case); "sqlite_master" finds the schema table. Null if
  // there is none.
  const Sqlite2Table* FindTable(std::string_view name) const;
  // A cursor over the rows of `table`, which must come from this file.
  Sqlite2RowCursor Rows(const Sqlite2Table& table) const;

  uint32_t page_count() const;
  bool big_endian() const;

 private:
  explicit Sqlite2File(std::unique_ptr<sqlite2::Pager> pager);
  static Status Check(std::unique_ptr<sqlite2::Pager> pager,
                             std::unique_ptr<Sqlite2File>* file);
  Status ReadSchema(sqlite2::PageSet& pages, std::vector<uint32_t>& index_roots);
  Sqlite2RowCursor Rows(const Sqlite2Table& table, sqlite2::PageSet* shared) const;

  std::unique_ptr<sqlite2::Pager> pager_;
  Sqlite2Table schema_;
  std::vector<Sqlite2Table> tables_;
};

}  // namespace locmodel
