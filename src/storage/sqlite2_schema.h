// Reading the schema table's texts: names, column lists, root page numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace locmodel::sqlite2 {

// Whether two names are the same to SQL: ASCII letters compare without
// regard to case, every other byte exactly (as the engine compares them).
bool SameName(std::string_view a, std::string_view b);

// The column names of a CREATE TABLE statement, in order: the first word of
// each top-level, comma-separated part between the first "(" and the last
// ")", quotes removed; table constraints (PRIMARY KEY, UNIQUE, CHECK,
// CONSTRAINT, FOREIGN KEY) are not columns. Empty when the text names none.
std::vector<std::string> ColumnNames(std::string_view sql);

// A root page number written as decimal text; nullopt for anything else
// (signs, blanks, no digits, more than 32 bits).
std::optional<uint32_t> ParseRootPage(std::string_view text);

}  // namespace locmodel::sqlite2
