#include "storage/database_guards.h"

#include <fstream>

#include "locmodel/storage/sqlite2_file.h"
#include "storage/sqlite2_schema.h"
#include "storage/statements.h"

namespace locmodel::storage {
namespace {

// The table a creation statement ("create table NAME ( ... )") creates.
std::string_view CreatedTable(std::string_view create) {
  constexpr std::string_view kPrefix = "create table ";
  create.remove_prefix(kPrefix.size());
  return create.substr(0, create.find_first_of(" ("));
}

bool SameColumns(const std::vector<std::string>& found, const std::vector<std::string>& expected) {
  if (found.size() != expected.size()) return false;
  for (size_t i = 0; i < found.size(); ++i)
    if (!sqlite2::SameName(found[i], expected[i])) return false;
  return true;
}

// The reason to refuse the table `create` makes when the file holds `shape`
// for it; empty when it is as created.
std::string Check(std::string_view create, const TableShape& shape) {
  const std::string table(CreatedTable(create));
  const std::string refused = "not a project database: " + table;
  switch (shape.kind) {
    case TableShape::Kind::kAbsent: return {};
    case TableShape::Kind::kOther: {
      // The file's own word for it is shown only when it is a known one.
      bool known = false;
      for (const char* kind : {"view", "index", "trigger", "virtual table"})
        known = known || shape.other == kind;
      return refused + " is a " + (known ? shape.other : "schema entry") + ", not a table";
    }
    case TableShape::Kind::kTable: break;
  }
  if (shape.computed) return refused + " has a generated column";
  if (!SameColumns(shape.columns, sqlite2::ColumnNames(create)))
    return refused + " has other columns than a project database's";
  return {};
}

// A journal whose first byte is 0 holds no transaction (SQLite zeroes the
// header of one it has finished with and keeps the file).
bool HoldsBytes(const std::string& path, bool zeroHeaderIsEmpty) {
  std::ifstream in(path, std::ios::binary);
  char first = 0;
  if (!in.get(first)) return false;
  return !zeroHeaderIsEmpty || first != 0;
}

}  // namespace

std::string CheckProjectSchema(const ShapeOf& shape) {
  std::vector<std::string_view> creates{statements::kCreateProp};
  creates.insert(creates.end(), std::begin(statements::kCreateTables), std::end(statements::kCreateTables));
  for (const std::string_view create : creates) {
    TableShape found;
    std::string error;
    if (!shape(CreatedTable(create), found, error)) return error;
    if (std::string refused = Check(create, found); !refused.empty()) return refused;
  }
  return {};
}

std::string CheckProjectSchema(const Sqlite2File& file) {
  return CheckProjectSchema([&file](std::string_view table, TableShape& shape, std::string& error) {
    if (const Sqlite2Table* found = file.FindTable(table); found && found != &file.schema_table()) {
      shape.kind = TableShape::Kind::kTable;
      shape.columns = found->columns;
      return true;
    }
    // A view, index or trigger by that name stands where the table belongs.
    Sqlite2RowCursor rows = file.Rows(file.schema_table());
    while (rows.Next()) {
      const auto& cells = rows.row().columns;
      if (sqlite2::SameName(cells[1].value_or(""), table)) {
        shape.kind = TableShape::Kind::kOther;
        shape.other = std::string(cells[0].value_or(""));
        return true;
      }
    }
    error = rows.status().reason();
    return rows.status().ok();
  });
}

std::string ValueTooLarge(size_t limit) {
  return "a database value exceeds " + std::to_string(limit) + " bytes";
}

std::string PendingTransaction(const std::string& nativePath) {
  if (HoldsBytes(nativePath + "-journal", true))
    return "unfinished transaction: a journal file lies beside it";
  if (HoldsBytes(nativePath + "-wal", false))
    return "changes not yet in the file: a write-ahead log (-wal) lies beside it; "
           "open it read-write once to fold them in";
  return {};
}

}  // namespace locmodel::storage
