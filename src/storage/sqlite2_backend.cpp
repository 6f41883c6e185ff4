// The read-only engine over legacy SQLite 2 files, behind the SQLite 2.x
// interface. It holds no SQL engine: the storage layer reads through a
// handful of fixed statements (statements.h), and this engine knows exactly
// those, word for word, and answers them from the file reader with the rows
// and the comparisons SQLite 2 itself gave. Anything else, every write among it,
// fails with a message and touches nothing.
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "locmodel/storage/sqlite2_file.h"
#include "locmodel/util/unicode.h"
#include "storage/database_guards.h"
#include "storage/sqlite2_schema.h"
#include "storage/sqlite_api.h"
#include "storage/sqlite_backend.h"
#include "storage/statements.h"

namespace locmodel::sqlite {
namespace {

constexpr bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// `text` without the blanks around it, which no statement counts.
constexpr std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The statements the engine answers: the storage layer's reads, word for
// word; %Q stands for a quoted text (inner quotes doubled). One closing
// semicolon does not count either.
constexpr auto kStatements = [] {
  std::array<std::string_view, std::size(statements::kLegacyReads)> patterns{};
  for (size_t i = 0; i < patterns.size(); ++i) patterns[i] = Trim(statements::kLegacyReads[i]);
  return patterns;
}();

constexpr char kUnsupported[] = "statement not supported on a read-only legacy database";

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

// Matches the start of `sql` against `pattern`. On success the length of
// `sql` the statement takes (with trailing blanks and a semicolon) and the
// quoted texts, quotes undone, in `texts`.
std::optional<size_t> Match(std::string_view sql, std::string_view pattern,
                            std::vector<std::string>& texts) {
  texts.clear();
  size_t i = 0;
  for (size_t p = 0; p < pattern.size();) {
    if (pattern.compare(p, 2, "%Q") == 0) {
      if (i >= sql.size() || sql[i] != '\'') return std::nullopt;
      std::string text;
      for (++i;; ++i) {
        if (i >= sql.size()) return std::nullopt;
        if (sql[i] == '\'') {
          if (i + 1 < sql.size() && sql[i + 1] == '\'') {
            ++i;
          } else {
            break;
          }
        }
        text.push_back(sql[i]);
      }
      ++i;
      p += 2;
      texts.push_back(std::move(text));
      continue;
    }
    if (i >= sql.size() || sql[i] != pattern[p]) return std::nullopt;
    ++i;
    ++p;
  }
  bool closed = pattern.back() == ';';
  while (i < sql.size() && IsBlank(sql[i])) ++i;
  if (!closed && i < sql.size() && sql[i] == ';') {
    closed = true;
    ++i;
  }
  // Another statement may follow a semicolon, but no more of this one.
  if (!closed && i < sql.size()) return std::nullopt;
  return i;
}

// Whether `text` reads as a number to SQLite 2: a sign, digits, a fraction
// and an exponent, nothing around them.
bool IsNumber(const std::string& text) {
  const char* z = text.c_str();
  if (*z == '-' || *z == '+') ++z;
  if (*z < '0' || *z > '9') return false;
  while (*z >= '0' && *z <= '9') ++z;
  if (*z == '.') {
    ++z;
    if (*z < '0' || *z > '9') return false;
    while (*z >= '0' && *z <= '9') ++z;
  }
  if (*z == 'e' || *z == 'E') {
    ++z;
    if (*z == '-' || *z == '+') ++z;
    if (*z < '0' || *z > '9') return false;
    while (*z >= '0' && *z <= '9') ++z;
  }
  return *z == 0;
}

// `column = value` of a WHERE clause. A number compares as a number (the
// stored text "1.0" equals 1); a quoted text compares byte for byte.
struct Condition {
  size_t column = 0;
  std::string text;
  std::optional<double> number;

  bool Holds(const std::optional<std::string_view>& cell) const {
    if (!cell) return false;
    // The engine kept values as C strings: a stored NUL ends the text.
    const std::string value(cell->data(), strnlen(cell->data(), cell->size()));
    if (!number) return value == text;
    return IsNumber(value) && std::strtod(value.c_str(), nullptr) == *number;
  }
};

// What a recognised statement reads: columns (nullopt for the rowid) of
// the rows of one table that meet every condition, in rowid order. A
// statement without a table (begin, commit) reads nothing.
struct Plan {
  const Sqlite2Table* table = nullptr;
  std::vector<std::optional<size_t>> columns;
  std::vector<std::string> names;  // the column names, then their types
  std::vector<Condition> conditions;
};

// The words of a pattern: names, "=", "==", numbers, %Q.
std::vector<std::string_view> Words(std::string_view pattern) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < pattern.size()) {
    if (IsBlank(pattern[i]) || pattern[i] == ',' || pattern[i] == ';') {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < pattern.size() && !IsBlank(pattern[end]) && pattern[end] != ',' && pattern[end] != ';')
      ++end;
    words.push_back(pattern.substr(i, end - i));
    i = end;
  }
  return words;
}

bool Is(std::string_view word, const char* keyword) { return sqlite2::SameName(word, keyword); }

// Builds the plan of a recognised `pattern` over `file`, with its quoted
// texts; false with `error` set when the file lacks a table or column it
// names (as SQLite 2 refused such a statement when compiling it).
bool MakePlan(const Sqlite2File& file, std::string_view pattern, const std::vector<std::string>& texts,
              Plan& plan, std::string& error) {
  const std::vector<std::string_view> words = Words(pattern);
  if (!Is(words[0], "select")) return true;  // begin, commit
  size_t w = 1;
  std::vector<std::string_view> selected;
  while (!Is(words[w], "from")) selected.push_back(words[w++]);
  const std::string_view name = words[++w];
  plan.table = file.FindTable(name);
  if (!plan.table) {
    error = "no such table: " + std::string(name);
    return false;
  }
  // The column of `word`, nullopt for the rowid; false when there is none.
  auto column = [&](std::string_view word, std::optional<size_t>& out) {
    if (Is(word, "rowid")) {
      out.reset();
      return true;
    }
    out = plan.table->FindColumn(word);
    if (out) return true;
    error = "no such column: " + std::string(word);
    return false;
  };
  for (std::string_view word : selected) {
    std::optional<size_t> at;
    if (!column(word, at)) return false;
    plan.columns.push_back(at);
    plan.names.emplace_back(word);
  }
  // The reader keeps no declared types, and no caller asks for them.
  plan.names.resize(2 * plan.columns.size());
  size_t text = 0;
  for (++w; w < words.size() && !Is(words[w], "order"); w += 4) {  // [WHERE|AND] column = value
    std::optional<size_t> at;
    if (!column(words[w + 1], at)) return false;
    Condition condition{at.value_or(0), {}, std::nullopt};
    if (words[w + 3] == "%Q") {
      condition.text = texts[text++];
    } else {
      condition.number = std::strtod(std::string(words[w + 3]).c_str(), nullptr);
    }
    plan.conditions.push_back(std::move(condition));
  }
  return true;
}

class Statement final : public SqliteStatement {
 public:
  Statement(const Sqlite2File& file, Plan plan) : plan_(std::move(plan)) {
    if (plan_.table) cursor_.emplace(file.Rows(*plan_.table));
    for (const std::string& name : plan_.names) names_.push_back(name.c_str());
  }

  int Step(int& columns, const char**& values, const char**& names, std::string& error) override {
    columns = static_cast<int>(plan_.columns.size());
    names = names_.data();
    if (!cursor_) return SQLITE_DONE;
    while (cursor_->Next()) {
      const Sqlite2Row& row = cursor_->row();
      if (!Meets(row)) continue;
      texts_.clear();
      pointers_.clear();
      for (const std::optional<size_t>& column : plan_.columns) {
        if (!column) {
          texts_.push_back(std::to_string(row.rowid));
        } else if (*column < row.columns.size() && row.columns[*column]) {
          texts_.emplace_back(*row.columns[*column]);
        } else {
          texts_.emplace_back();
        }
      }
      for (size_t i = 0; i < plan_.columns.size(); ++i) {
        const std::optional<size_t>& column = plan_.columns[i];
        const bool null = column && (*column >= row.columns.size() || !row.columns[*column]);
        pointers_.push_back(null ? nullptr : texts_[i].c_str());
      }
      values = pointers_.data();
      return SQLITE_ROW;
    }
    if (cursor_->status().ok()) return SQLITE_DONE;
    error = cursor_->status().reason();
    return SQLITE_ERROR;
  }

 private:
  bool Meets(const Sqlite2Row& row) const {
    for (const Condition& condition : plan_.conditions) {
      if (condition.column >= row.columns.size() || !condition.Holds(row.columns[condition.column]))
        return false;
    }
    return true;
  }

  Plan plan_;
  std::optional<Sqlite2RowCursor> cursor_;
  std::vector<const char*> names_;
  std::vector<std::string> texts_;  // the current row's values
  std::vector<const char*> pointers_;
};

class Sqlite2Backend final : public SqliteBackend {
 public:
  explicit Sqlite2Backend(std::unique_ptr<Sqlite2File> file) : file_(std::move(file)) {}

  int Compile(const char* sql, const char*& tail, std::unique_ptr<SqliteStatement>& statement,
              std::string& error) override {
    const std::string_view all(sql);
    const std::string_view text = TrimLeft(all);
    const size_t skipped = all.size() - text.size();
    tail = sql + all.size();
    if (text.empty()) return SQLITE_OK;
    std::vector<std::string> texts;
    for (const std::string_view pattern : kStatements) {
      const std::optional<size_t> length = Match(text, pattern, texts);
      if (!length) continue;
      tail = sql + skipped + *length;
      Plan plan;
      if (!MakePlan(*file_, pattern, texts, plan, error)) return SQLITE_ERROR;
      statement = std::make_unique<Statement>(*file_, std::move(plan));
      return SQLITE_OK;
    }
    error = kUnsupported;
    return SQLITE_ERROR;
  }

  // Nothing is ever inserted.
  int LastInsertRowid() override { return 0; }

  std::string CheckProjectSchema() override { return storage::CheckProjectSchema(*file_); }

 private:
  std::unique_ptr<Sqlite2File> file_;
};

}  // namespace

std::unique_ptr<SqliteBackend> OpenSqlite2(const char* path, std::string& error) {
  std::unique_ptr<Sqlite2File> file;
  const Status status = Sqlite2File::Open(Utf8ToUtf16(path), &file);
  if (!status.ok()) {
    error = status.reason();
    return nullptr;
  }
  return std::make_unique<Sqlite2Backend>(std::move(file));
}

}  // namespace locmodel::sqlite
