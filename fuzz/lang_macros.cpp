// Macro expansion with hostile maps, and language lookups by culture name
// and by arbitrary identifiers.
//
// Input: a text line, then lines "placeholder\treplacement". The same text
// is also looked up as a culture name, and its first bytes as a language
// value.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "locmodel/lang/lang_map.h"
#include "locmodel/lang/macros_util.h"
#include "locmodel/util/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;  // expansion cost grows with the text, not the bugs
  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t start = input.find('\n');
  const std::u16string text = locmodel::Utf8ToUtf16(input.substr(0, start));
  MacrosUtil::Map macros;
  while (start != std::string::npos) {
    const size_t end = input.find('\n', start + 1);
    const std::string line = input.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    const size_t tab = line.find('\t');
    macros[locmodel::Utf8ToUtf16(line.substr(0, tab))] =
        tab == std::string::npos ? u"" : locmodel::Utf8ToUtf16(line.substr(tab + 1));
    start = end;
  }
  const std::u16string result = MacrosUtil::ApplyMacrosMap(text, macros);
  if (result.size() > std::max(MacrosUtil::kMaxLength, text.size())) __builtin_trap();

  const CLangMap& map = CLangMap::Instance();
  const int found = map.GetLangByCulName(text);
  if (found != -1 && map.GetLang(found).cultureName.size() != text.size()) __builtin_trap();
  int32_t lang = 0;
  std::memcpy(&lang, data, std::min(size, sizeof lang));
  const auto lang_macros = map.GetLangMacros(lang);
  if (lang_macros.size() != 9) __builtin_trap();
  MacrosUtil::ApplyMacrosMap(text, MacrosUtil::Merge(lang_macros, macros));
  map.GetLongLangName(lang);
  return 0;
}
