// escapes: the escape-code display of control characters, stdin to stdout.
#include "cli/command.h"
#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunEscapes(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& mode = args.positional[0];
  if (mode != "show" && mode != "hide")
    return UsageError(err, "escapes", "unknown mode '" + mode + "'");
  const std::u16string text = Utf8ToUtf16(ReadStdin());
  out << Utf16ToUtf8(mode == "show" ? ShowEscapeCodes(text) : HideEscapeCodes(text));
  return kOk;
}

}  // namespace locmodel::cli
