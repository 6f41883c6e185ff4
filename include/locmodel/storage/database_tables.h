// The project tables of a project database row by row, and their copy into a
// new database: what tools need to compare databases and to upgrade legacy
// ones. Every function here reports through a Status naming its file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locmodel/util/status.h"

namespace locmodel {

// The tables of a project database, in the order they are listed and copied.
inline constexpr const char* kProjectTables[] = {"PROP", "RES_ITEM", "TRANS_ITEM", "BINARY",
                                                 "VAL_STORAGE"};

// One row: each column's stored text (nullopt for NULL), and the column
// names. Valid during the call only.
using DbCells = std::vector<std::optional<std::string_view>>;
using DbRowSink =
    std::function<void(int64_t rowid, const DbCells& cells, const std::vector<std::string>& columns)>;

// The project tables of one database of either format, opened read-only: a
// legacy SQLite 2 file through the library's own reader (so every stored
// byte shows), an SQLite 3 file through the engine.
class ProjectTables {
 public:
  ProjectTables();
  ~ProjectTables();
  ProjectTables(const ProjectTables&) = delete;
  ProjectTables& operator=(const ProjectTables&) = delete;

  // kCannotOpen when the file is missing, is no database, or (legacy) is
  // damaged ("malformed legacy database: REASON").
  Status Open(const std::u16string& path);
  // Hands every row of the project table `name` to `sink` in rowid order; a
  // table the file lacks has no rows. kDatabase when the file cannot be read.
  Status Read(const char* name, const DbRowSink& sink) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes `to`, a new SQLite 3 project database holding every row (rowids
// included) of the project tables of the database at `from`, either format.
// Refuses an existing `to` (kBadArgument, "file exists"); `to` appears only
// complete. A failure names `from` when reading failed and `to` otherwise.
Status UpgradeProjectDatabase(const std::u16string& from, const std::u16string& to);

// Hands every row of the value store of the database at `path` to `sink`, in
// the order the values were first stored: key, file, value (UTF-8, null for
// NULL). Opened read-only.
using DbValueSink = std::function<void(const char* key, const char* file, const char* value)>;
Status ReadValueStore(const std::u16string& path, const DbValueSink& sink);

}  // namespace locmodel
