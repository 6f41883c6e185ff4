#include "storage/statements.h"

namespace locmodel::statements {
namespace {

// Appends `text` between `quote`s with inner quotes doubled; the engine
// keeps C strings, so a NUL ends the text.
void AppendQuoted(std::string& sql, std::string_view text, char quote) {
  sql.push_back(quote);
  for (const char c : text) {
    if (c == '\0') break;
    if (c == quote) sql.push_back(quote);
    sql.push_back(c);
  }
  sql.push_back(quote);
}

}  // namespace

std::string TableRows(std::string_view table) {
  return "SELECT rowid, * FROM " + std::string(table) + " ORDER BY rowid";
}

std::string InsertRow(std::string_view table, int64_t rowid, const std::vector<std::string>& names,
                      const std::vector<std::optional<std::string_view>>& cells) {
  std::string sql = "INSERT INTO " + std::string(table) + " ( rowid";
  for (size_t i = 0; i < cells.size(); ++i) {
    sql += ", ";
    AppendQuoted(sql, names[i], '"');
  }
  sql += " ) VALUES ( " + std::to_string(rowid);
  for (const auto& cell : cells) {
    sql += ", ";
    if (cell) AppendQuoted(sql, *cell, '\'');
    else sql += "NULL";
  }
  return sql + " )";
}

}  // namespace locmodel::statements
