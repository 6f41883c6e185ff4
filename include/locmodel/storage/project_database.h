// Reading a project database as a whole, strictly without writing to it, and
// opening whatever project a file holds: what hosts and tools need to show or
// convert a project they were handed.
#pragma once

#include <memory>
#include <string>

#include "locmodel/items/project_file.h"
#include "locmodel/util/status.h"

class CResItem;

namespace locmodel {

// True when the file starts like a database: the header of SQLite 3 or of
// SQLite 2. This is how a project database is told apart from a binary
// project file.
bool IsProjectDatabaseFile(const std::u16string& path);

// Loads the item tree of the project database at `path`, opened read-only:
// the file is never written, a missing file is never created. Ok when the
// database was read without any storage message; `root` is then the tree, or
// null for a database without a root item. Otherwise `root` is null and the
// status is kCannotOpen ("cannot open file") or kDatabase with the storage
// messages joined by "; " (for a damaged legacy file "malformed legacy
// database: REASON"). The messages go to the message proxy's sinks as well.
Status LoadProjectDatabase(const std::u16string& path, std::unique_ptr<CResItem>& root);

// Loads whatever project the file at `path` holds, told by its content: a
// project database (SQLite 3, or a legacy SQLite 2 file) as
// LoadProjectDatabase does, any other file as a project file, plain or gzip,
// read by `reader` (LoadProject). On success `root` holds the tree, which is
// null only for a database without items; on failure `root` is null.
Status LoadAnyProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                      ProjectReader reader = ProjectReader::Tree);

}  // namespace locmodel
