// db-values: the value store of a project database, row by row.
#include "cli/command.h"
#include "cli/input.h"
#include "cli/json.h"
#include "locmodel/storage/database_tables.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

void AppendText(std::string& out, const char* utf8) {
  AppendJsonString(out, Utf8ToUtf16(utf8 ? utf8 : ""));
}

}  // namespace

int RunDbValues(const Args& args, std::ostream& out, std::ostream& err) {
  if (const int usage = CheckDatabasePath("db-values", args.positional[0], err)) return usage;
  const bool json = args.Has("--json");
  std::string text = json ? "[" : "";
  bool first = true;
  const Status status = ReadValueStore(Utf8ToUtf16(args.positional[0]), [&](const char* key, const char* file,
                                                                            const char* value) {
    if (json) {
      if (!first) text.push_back(',');
      text += "{\"key\":";
      AppendText(text, key);
      text += ",\"file\":";
      AppendText(text, file);
      text += ",\"value\":";
      AppendText(text, value);
      text.push_back('}');
    } else {
      AppendText(text, key);
      if (file && *file) {
        text += " in ";
        AppendText(text, file);
      }
      text += " = ";
      AppendText(text, value);
      text.push_back('\n');
    }
    first = false;
  });
  if (!status.ok()) return Fail(err, status.ToString());
  if (json) text += "]\n";
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
