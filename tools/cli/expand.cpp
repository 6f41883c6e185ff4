// expand: an output path pattern with the language macros (and extra ones)
// replaced.
#include "cli/command.h"
#include "cli/lang_common.h"
#include "locmodel/lang/macros_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunExpand(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string* lang_arg = args.Value("--lang");
  if (!lang_arg) return UsageError(err, "expand", "missing --lang LANG");
  const auto lang = ParseLang(*lang_arg);
  if (!lang) return Fail(err, "'" + *lang_arg + "' names no language of the language table");
  MacrosUtil::Map extra;
  for (const auto& [option, value] : args.options) {
    if (option != "--set") continue;
    const size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) return UsageError(err, "expand", "--set takes NAME=VALUE, not '" + value + "'");
    extra[u"$(" + Utf8ToUtf16(value.substr(0, eq)) + u")"] = Utf8ToUtf16(value.substr(eq + 1));
  }
  const auto macros = MacrosUtil::Merge(CLangMap::Instance().GetLangMacros(*lang), extra);
  out << Utf16ToUtf8(MacrosUtil::ApplyMacrosMap(Utf8ToUtf16(args.positional[0]), macros)) << "\n";
  return kOk;
}

}  // namespace locmodel::cli
