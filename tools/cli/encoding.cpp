// encoding: what an encoding setting resolves to for one language.
#include <algorithm>
#include <cctype>

#include "cli/command.h"
#include "cli/lang_common.h"
#include "locmodel/lang/encoding.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// "ansi" (any case), a decimal code page, or else an encoding name.
CEncoding ParseEncoding(const std::string& text) {
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower == "ansi") return CEncoding::SelectAnsiByLang;
  const bool number = !text.empty() && text.size() <= 9 &&
                      std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
  return number ? CEncoding(std::stoi(text)) : CEncoding(Utf8ToUtf16(text));
}

}  // namespace

int RunEncoding(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string* lang_arg = args.Value("--lang");
  if (!lang_arg) return UsageError(err, "encoding", "missing --lang LANG");
  const auto lang = ParseLang(*lang_arg);
  if (!lang) return Fail(err, "'" + *lang_arg + "' names no language of the language table");
  const CEncoding encoding = ParseEncoding(args.positional[0]);
  out << "codepage " << encoding.getCodepage(*lang) << "\n"
      << "icu      " << Utf16ToUtf8(encoding.GetIcuName(*lang)) << "\n"
      << "iana     " << Utf16ToUtf8(encoding.GetIanaName(*lang)) << "\n";
  return kOk;
}

}  // namespace locmodel::cli
