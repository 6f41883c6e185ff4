#include "storage/file_probe.h"

#include <cstdio>
#include <cstring>

#include "locmodel/util/native_path.h"

namespace locmodel::storage {

DbFileKind ProbeBytes(const void* bytes, size_t size) {
  if (size == 0) return DbFileKind::kEmpty;
  if (size >= sizeof kSqlite3Header && std::memcmp(bytes, kSqlite3Header, sizeof kSqlite3Header) == 0)
    return DbFileKind::kSqlite3;
  if (size >= sizeof kSqlite2Header - 1 && std::memcmp(bytes, kSqlite2Header, sizeof kSqlite2Header - 1) == 0)
    return DbFileKind::kSqlite2;
  return DbFileKind::kOther;
}

DbFileKind ProbeFile(const std::string& nativePath) {
  FILE* f = std::fopen(nativePath.c_str(), "rb");
  if (!f) return DbFileKind::kMissing;
  char head[sizeof kSqlite2Header - 1];  // the longer header
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return ProbeBytes(head, got);
}

Status RefuseUnreadable(const std::u16string& path) {
  switch (ProbeFile(NativePath(path))) {
    case DbFileKind::kMissing: return Status::CannotOpen(path);
    case DbFileKind::kEmpty: return Status::Malformed("empty file, not a database", path);
    default: return Status::Ok();
  }
}

}  // namespace locmodel::storage
