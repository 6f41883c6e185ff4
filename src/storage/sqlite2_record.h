// SQLite 2 row records: the offsets in front and the NUL-terminated texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locmodel::sqlite2 {

// Splits `record` into exactly `columns.size()` values, each a view into
// `record` without its NUL, or nullopt for NULL. False (with `reason` set)
// when the record's own column count differs or its offsets or texts are
// damaged.
bool DecodeRecord(std::string_view record, std::vector<std::optional<std::string_view>>& columns,
                  std::string& reason);

}  // namespace locmodel::sqlite2
