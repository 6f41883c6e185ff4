// Reading a project database as a whole, strictly without writing to it:
// what tools need to show or convert a database they were handed.
#pragma once

#include <memory>
#include <string>

class CResItem;

namespace locmodel {

// True when the file starts like a database: the header of SQLite 3 ("SQLite
// format 3" and a NUL) or of SQLite 2. This is how a project database is told
// apart from a binary project file.
bool IsProjectDatabaseFile(const std::u16string& path);

// Loads the item tree of the project database at `path`, opened read-only:
// the file is never written, a missing file is never created. True when the
// database was read without any storage message; `root` is then the tree, or
// null for a database without a root item. False with `error` in words
// ("cannot open file", "malformed legacy database: REASON", or the storage
// messages joined by "; ") and `root` null otherwise. The messages go to the
// message proxy's sinks as well.
bool LoadProjectDatabase(const std::u16string& path, std::unique_ptr<CResItem>& root,
                         std::string& error);

}  // namespace locmodel
