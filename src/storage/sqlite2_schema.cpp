#include "storage/sqlite2_schema.h"

namespace locmodel::sqlite2 {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// The closing character of a quoted name, or 0 when `c` opens none.
char CloseQuote(char c) {
  switch (c) {
    case '"': case '\'': case '`': return c;
    case '[': return ']';
    default: return 0;
  }
}

// The name a column definition starts with; empty when there is none.
std::string FirstWord(std::string_view part) {
  size_t i = 0;
  while (i < part.size() && IsSpace(part[i])) ++i;
  if (i == part.size()) return {};
  if (const char close = CloseQuote(part[i])) {
    const size_t end = part.find(close, i + 1);
    return end == std::string_view::npos ? std::string() : std::string(part.substr(i + 1, end - i - 1));
  }
  size_t end = i;
  while (end < part.size() && !IsSpace(part[end]) && part[end] != '(') ++end;
  return std::string(part.substr(i, end - i));
}

bool IsTableConstraint(std::string_view word) {
  for (const char* keyword : {"constraint", "primary", "unique", "check", "foreign"})
    if (SameName(word, keyword)) return true;
  return false;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::vector<std::string> ColumnNames(std::string_view sql) {
  const size_t open = sql.find('(');
  const size_t close = sql.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return {};
  const std::string_view body = sql.substr(open + 1, close - open - 1);
  std::vector<std::string> names;
  // Adds the column a part defines; false for a part without a name.
  auto add = [&names](std::string_view part) {
    std::string name = FirstWord(part);
    if (name.empty()) return false;
    if (!IsTableConstraint(name)) names.push_back(std::move(name));
    return true;
  };
  // Commas inside parentheses ("DECIMAL(10,2)") or quotes do not separate
  // columns.
  size_t depth = 0, start = 0;
  char quote = 0;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (const char q = CloseQuote(c)) {
      quote = q;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && depth > 0) {
      --depth;
    } else if (c == ',' && depth == 0) {
      if (!add(body.substr(start, i - start))) return {};
      start = i + 1;
    }
  }
  if (!add(body.substr(start))) return {};
  return names;
}

std::optional<uint32_t> ParseRootPage(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

}  // namespace locmodel::sqlite2
