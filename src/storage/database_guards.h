// Internal: what the storage layer refuses in a database it is asked to
// read, written once for both engines. A file that is "almost" a project
// database is hostile: a generated column can make every row as large as it
// likes, a view in place of a table can run a query of the file's choosing,
// and a journal beside the file means that the file alone is not what a
// writer left behind.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace locmodel {
class Sqlite2File;
}  // namespace locmodel

namespace locmodel::storage {

// How a database holds one of the project tables.
struct TableShape {
  enum class Kind { kAbsent, kTable, kOther };
  Kind kind = Kind::kAbsent;
  std::string other;                 // for kOther, what stands there ("view", ...)
  std::vector<std::string> columns;  // for kTable, in declaration order
  bool computed = false;             // a generated or hidden column among them
};
// The shape of the table named `table` (compared as SQL compares names);
// false with `error` set when the engine cannot tell.
using ShapeOf = std::function<bool(std::string_view table, TableShape& shape, std::string& error)>;

// Empty when each project table the database holds is a plain table with
// exactly the columns of its creation statement (a table may be missing: it
// has no rows); otherwise the one-line reason for refusing the database.
std::string CheckProjectSchema(const ShapeOf& shape);
// The same for a legacy file.
std::string CheckProjectSchema(const Sqlite2File& file);

// The refusal of a value longer than `limit` bytes.
std::string ValueTooLarge(size_t limit);

// Why the database at `nativePath` must not be read as the file alone shows
// it: a rollback journal or a write-ahead log beside it, which SQLite would
// apply before reading and a reader that may not write cannot. Empty when
// there is neither.
std::string PendingTransaction(const std::string& nativePath);

}  // namespace locmodel::storage
