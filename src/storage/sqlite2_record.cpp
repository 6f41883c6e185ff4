#include "storage/sqlite2_record.h"

#include <cstring>

#include "locmodel/util/coding.h"

namespace locmodel::sqlite2 {

bool DecodeRecord(std::string_view record, std::vector<std::optional<std::string_view>>& columns,
                  std::string& reason) {
  const size_t count = columns.size();
  // An empty record is how the engine stores a row of NULLs.
  if (record.empty()) {
    for (auto& column : columns) column.reset();
    return true;
  }
  // The writer picks the offset width from the size of the whole record.
  const size_t width = record.size() < 0x100 ? 1 : record.size() < 0x10000 ? 2 : 3;
  const auto* bytes = reinterpret_cast<const unsigned char*>(record.data());
  const size_t header = width * (count + 1);
  if (header > record.size() || coding::DecodeVarWidth(bytes, width) != header) {
    reason = "record does not hold " + std::to_string(count) + " columns";
    return false;
  }
  size_t start = header;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = coding::DecodeVarWidth(bytes + width * (i + 1), width);
    if (end < start || end > record.size() || (i + 1 == count && end != record.size())) {
      reason = "record offset " + std::to_string(end) + " out of order or past the record";
      return false;
    }
    if (end == start) {
      columns[i].reset();
    } else {
      // A value is text and its NUL; a NUL inside would cut the text short
      // for the engine, so such bytes were never written by it.
      const std::string_view value = record.substr(start, end - start - 1);
      if (record[end - 1] != '\0' || std::memchr(value.data(), 0, value.size()) != nullptr) {
        reason = "record value not a NUL-terminated text";
        return false;
      }
      columns[i] = value;
    }
    start = end;
  }
  return true;
}

}  // namespace locmodel::sqlite2
