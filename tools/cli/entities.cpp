// entities: decode, encode or hide character entity references in stdin.
#include "cli/command.h"
#include "locmodel/util/char_entities.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int RunEntities(const Args& args, std::ostream& out, std::ostream& err) {
  using H = CCharEntitiesHelper;
  const std::string& mode = args.positional[0];
  const bool xml = args.Has("--xml");
  void (*convert)(std::u16string&) = nullptr;
  if (mode == "decode") {
    convert = xml ? H::XMLEntitiesToUnicode : H::HTMLEntitiesToUnicode;
  } else if (mode == "encode") {
    convert = xml ? H::UnicodeToXMLEntities : H::UnicodeToHTMLEntities;
  } else if (mode == "hide") {
    convert = xml ? [](std::u16string& t) { H::HideEntities(H::GetXMLEntityToUnicodeMap(), t); }
                  : H::HideHTMLEntities;
  } else {
    return UsageError(err, "entities", "unknown mode '" + mode + "'");
  }
  std::u16string text = Utf8ToUtf16(ReadStdin());
  convert(text);
  out << Utf16ToUtf8(text);
  return kOk;
}

}  // namespace locmodel::cli
