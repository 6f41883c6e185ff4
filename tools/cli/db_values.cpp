// db-values: the value store of a project database, row by row.
#include <cstdio>
#include <memory>

#include "cli/command.h"
#include "cli/json.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// The tool's own query: every value in the order it was first stored.
constexpr char kValuesQuery[] = "SELECT val_key, file, val FROM val_storage ORDER BY rowid";

struct Closer {
  void operator()(sqlite* db) const { sqlite_close(db); }
};

// Takes an adapter message (or a fallback) as a std::string.
std::string TakeMessage(char* message, const char* fallback) {
  std::string text = message ? message : fallback;
  sqlite_freemem(message);
  return text;
}

void AppendText(std::string& out, const char* utf8) {
  AppendJsonString(out, Utf8ToUtf16(utf8 ? utf8 : ""));
}

}  // namespace

int RunDbValues(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[0];
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
  } else {
    return Fail(err, path + ": cannot open file");
  }
  char* message = nullptr;
  const std::unique_ptr<sqlite, Closer> db(sqlite_open(path.c_str(), kSqliteReadOnly, &message));
  if (!db) return Fail(err, path + ": " + TakeMessage(message, "cannot open database"));
  sqlite_vm* vm = nullptr;
  if (sqlite_compile(db.get(), kValuesQuery, nullptr, &vm, &message) != SQLITE_OK || !vm)
    return Fail(err, path + ": " + TakeMessage(message, "cannot read the value store"));

  const bool json = args.Has("--json");
  std::string text = json ? "[" : "";
  bool first = true;
  int columns = 0;
  const char** values = nullptr;
  while (sqlite_step(vm, &columns, &values, nullptr) == SQLITE_ROW) {
    if (json) {
      if (!first) text.push_back(',');
      text += "{\"key\":";
      AppendText(text, values[0]);
      text += ",\"file\":";
      AppendText(text, values[1]);
      text += ",\"value\":";
      AppendText(text, values[2]);
      text.push_back('}');
    } else {
      AppendText(text, values[0]);
      if (values[1] && *values[1]) {
        text += " in ";
        AppendText(text, values[1]);
      }
      text += " = ";
      AppendText(text, values[2]);
      text.push_back('\n');
    }
    first = false;
  }
  if (sqlite_finalize(vm, &message) != SQLITE_OK)
    return Fail(err, path + ": " + TakeMessage(message, "cannot read the value store"));
  if (json) text += "]\n";
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
