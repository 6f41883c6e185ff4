// lang: one row of the language table with its nine macros.
#include "cli/command.h"
#include "cli/json.h"
#include "cli/lang_common.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// The macros in the order users read them, not the map's sort order.
constexpr const char16_t* kMacroOrder[] = {
    u"$(LangName)",    u"$(LangLongName)", u"$(CultureName)", u"$(JavaLang)", u"$(AndroidLang)",
    u"$(SymbianLang)", u"$(LangAbbr)",     u"$(WinLang)",     u"$(LangId)",
};

}  // namespace

int RunLang(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& arg = args.positional[0];
  const auto lang = ParseLang(arg);
  if (!lang) return Fail(err, "'" + arg + "' names no language of the language table");
  const CLangMap& map = CLangMap::Instance();
  const int id = CLangId(*lang).GetRawLng();
  const CLangDescr& row = map.GetLang(id);
  auto macros = map.GetLangMacros(*lang);
  std::string text;
  if (args.Has("--json")) {
    AppendLangRowJson(text, id, row);
    text += ",\"macros\":{";
    for (const char16_t* name : kMacroOrder) {
      if (text.back() != '{') text += ",";
      AppendJsonString(text, name);
      text += ":";
      AppendJsonString(text, macros[name]);
    }
    text += "}}\n";
  } else {
    const std::pair<const char*, std::u16string> fields[] = {
        {"culture", row.cultureName},
        {"name", row.name},
        {"longName", map.GetLongLangName(id)},
        {"langCode", row.langCode},
        {"countryCode", row.countryCode},
    };
    text += "id           " + std::to_string(*lang) + "\n";
    for (const auto& [label, value] : fields) {
      std::string padded = label;
      padded.resize(13, ' ');
      text += padded + Utf16ToUtf8(value) + "\n";
    }
    text += "langGroup    " + std::to_string(row.langGroup) + "\n";
    text += "ansiCodePage " + std::to_string(row.ansiCodepage) + "\n";
    text += std::string("rtl          ") + (map.IsRtlLang(id) ? "yes" : "no") + "\n";
    for (const char16_t* name : kMacroOrder) {
      std::string padded = Utf16ToUtf8(name);
      padded.resize(17, ' ');
      text += padded + Utf16ToUtf8(macros[name]) + "\n";
    }
  }
  out << text;
  return kOk;
}

}  // namespace locmodel::cli
