#include "locmodel/lang/lang_text.h"

#include <string_view>

#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

std::vector<std::map<int, std::u16string>>& StringTables() {
  static std::vector<std::map<int, std::u16string>> tables;
  return tables;
}

}  // namespace

void RegisterStringTable(std::map<int, std::u16string> table) {
  StringTables().push_back(std::move(table));
}

void ClearStringTables() { StringTables().clear(); }

}  // namespace locmodel

void GetLngStr(std::u16string& out, const std::vector<int>& langs) {
  if (langs.empty()) return;
  std::string text;
  for (size_t i = 0; i < langs.size(); ++i) {
    if (i) text += ", ";
    text += std::to_string(langs[i]);
  }
  out = locmodel::Utf8ToUtf16(text);
}

std::u16string L(int id) {
  for (const auto& table : locmodel::StringTables()) {
    const auto it = table.find(id);
    if (it != table.end()) return it->second;
  }
  return {};
}

std::string LA(int id) { return locmodel::Utf16ToUtf8(L(id)); }

void LoadStr(const char* utf8, std::u16string& out, const char16_t* def, bool) {
  if (utf8 && *utf8) out = locmodel::Utf8ToUtf16(std::string_view(utf8));
  else out = def ? def : u"";
}

void LoadResId(const char* utf8, std::u16string& out) { LoadStr(utf8, out, u"#"); }
