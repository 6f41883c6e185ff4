// langs: the language table, one row per line or as a JSON array.
#include <algorithm>
#include <cstdio>

#include "cli/command.h"
#include "cli/lang_common.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunLangs(const Args& args, std::ostream& out, std::ostream&) {
  const CLangMap& map = CLangMap::Instance();
  std::string text;
  if (args.Has("--json")) {
    text += "[";
    for (const auto& [id, row] : map.GetLangs()) {
      if (text.size() > 1) text += ",";
      AppendLangRowJson(text, id, row);
      text += "}";
    }
    text += "]\n";
  } else {
    for (const auto& [id, row] : map.GetLangs()) {
      char head[40];
      std::snprintf(head, sizeof head, "0x%04X %5d  ", static_cast<unsigned>(id), id);
      std::string culture = Utf16ToUtf8(row.cultureName);
      culture.resize(std::max<size_t>(culture.size(), 14), ' ');
      text += head + culture + "  " + std::to_string(row.ansiCodepage) + "\t" +
              Utf16ToUtf8(map.GetLongLangName(id)) + "\n";
    }
  }
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
