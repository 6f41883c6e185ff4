// Reading a project database as a whole, strictly without writing to it, and
// opening whatever project a file holds: what hosts and tools need to show or
// convert a project they were handed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "locmodel/items/project_file.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/status.h"

class CResItem;

namespace locmodel {

// The most bytes any single value read from a database may hold: a longer
// one fails the read ("a database value exceeds N bytes") instead of being
// held in memory. Applies to every database this library opens from then on,
// either format, for reading and for writing (SQLite 3 applies it to a whole
// row as well, and caps the setting at its own build limit, 1,000,000,000
// bytes by default). Set it before opening, not while another thread opens a
// database.
inline constexpr size_t kDefaultMaxDatabaseValue = size_t{256} << 20;  // 256 MiB
void SetMaxDatabaseValueSize(size_t bytes);
size_t MaxDatabaseValueSize();

// True when the file starts like a database: the header of SQLite 3 or of
// SQLite 2. This is how a project database is told apart from a binary
// project file.
bool IsProjectDatabaseFile(const std::u16string& path);

// Loads the item tree of the project database at `path`, opened read-only:
// the file is never written, a missing file is never created, and nothing
// is created beside it. Refused: an empty file, a project table whose
// columns are not exactly those this library creates (a generated or extra
// column, a view in its place), items nested deeper than
// CResItem::kMaxReadDepth, and a database with an unfinished transaction
// beside it (a non-empty -journal or -wal file). Ok when the
// database was read without any storage message; `root` is then the tree, or
// null for a database without a root item. Otherwise `root` is null and the
// status is kCannotOpen ("cannot open file") or kDatabase with the storage
// messages joined by "; " (for a damaged legacy file "malformed legacy
// database: REASON"). The messages go to the message proxy's sinks as well.
// With `unattached`, the rows the tree leaves out are counted there, per
// table, and the value store is not read (CStorage::Load); rows left out are
// no error.
Status LoadProjectDatabase(const std::u16string& path, std::unique_ptr<CResItem>& root,
                           CStorage::UnattachedRows* unattached = nullptr);

// Loads whatever project the file at `path` holds, told by its content: a
// project database (SQLite 3, or a legacy SQLite 2 file) as
// LoadProjectDatabase does, any other file as a project file, plain or gzip,
// read by `reader` (LoadProject). On success `root` holds the tree, which is
// null only for a database without items; on failure `root` is null.
Status LoadAnyProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                      ProjectReader reader = ProjectReader::Tree);

}  // namespace locmodel
