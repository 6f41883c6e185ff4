// Opens arbitrary bytes as an SQLite 2 database and walks every table: the
// reader must answer with rows or an error, never a crash, a hang or a huge
// allocation.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "locmodel/storage/sqlite2_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<locmodel::Sqlite2File> file;
  if (!locmodel::Sqlite2File::OpenBytes(std::string(reinterpret_cast<const char*>(data), size), &file).ok())
    return 0;
  auto walk = [&](const locmodel::Sqlite2Table& table) {
    auto rows = file->Rows(table);
    size_t bytes = 0;
    while (rows.Next())
      for (const auto& column : rows.row().columns) bytes += column ? column->size() : 0;
    // A file that passed Open must walk to its end without damage.
    if (!rows.status().ok()) __builtin_trap();
    return bytes;
  };
  walk(file->schema_table());
  for (const auto& table : file->tables()) walk(table);
  return 0;
}
