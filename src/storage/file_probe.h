// Internal: what a file is, by its first bytes. Every part of the storage
// layer that tells databases apart asks here, so each header is written once.
#pragma once

#include <cstddef>
#include <string>

#include "locmodel/util/status.h"

namespace locmodel::storage {

// Page 1 of an SQLite 3 database starts with this text and its NUL (16 bytes).
inline constexpr char kSqlite3Header[] = "SQLite format 3";
// Page 1 of an SQLite 2.1 database (the format of SQLite 2.1 to 2.8) starts
// with this text and its NUL (48 bytes); the 47 characters alone identify it.
inline constexpr char kSqlite2Header[] = "** This file contains an SQLite 2.1 database **";

enum class DbFileKind {
  kMissing,  // cannot be opened for reading
  kEmpty,    // no bytes: SQLite takes it for a new database
  kSqlite3,
  kSqlite2,
  kOther,
};

// The kind the first `size` bytes of a file show.
DbFileKind ProbeBytes(const void* bytes, size_t size);
// The kind of the file at `nativePath`; only its first bytes are read.
DbFileKind ProbeFile(const std::string& nativePath);

// What a reader of the database at `path` refuses before opening it: a
// missing file (kCannotOpen) and an empty one, which SQLite would take for a
// new database (kMalformed, "empty file, not a database"). Ok otherwise.
Status RefuseUnreadable(const std::u16string& path);

inline bool IsDatabase(DbFileKind kind) {
  return kind == DbFileKind::kSqlite3 || kind == DbFileKind::kSqlite2;
}

}  // namespace locmodel::storage
