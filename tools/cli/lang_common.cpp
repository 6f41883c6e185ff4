#include "cli/lang_common.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "cli/json.h"
#include "cli/value_text.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// A number that fits 32 bits (hex up to 0xFFFFFFFF, decimal signed).
std::optional<int> ParseNumber(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty()) return std::nullopt;
  for (size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[i];
    const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                        : (std::isdigit(static_cast<unsigned char>(c)) || (i == 0 && c == '-' && digits.size() > 1));
    if (!ok) return std::nullopt;
  }
  errno = 0;
  const long long value = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value < INT32_MIN || value > (hex ? 0xFFFFFFFFLL : INT32_MAX)) return std::nullopt;
  return static_cast<int>(static_cast<uint32_t>(value));
}

}  // namespace

std::optional<int> ParseLang(const std::string& text) {
  // Reserved rows have an empty culture name; "" must not find them.
  if (text.empty()) return std::nullopt;
  const CLangMap& map = CLangMap::Instance();
  if (const auto number = ParseNumber(text)) {
    if (!map.GetLangs().count(CLangId(*number).GetRawLng())) return std::nullopt;
    return number;
  }
  const int id = map.GetLangByCulName(Utf8ToUtf16(text));
  if (id == -1) return std::nullopt;
  return id;
}

void AppendLangRowJson(std::string& out, int id, const CLangDescr& row) {
  const CLangMap& map = CLangMap::Instance();
  out += "{\"id\":" + std::to_string(id) + ",\"culture\":";
  AppendJsonString(out, row.cultureName);
  out += ",\"name\":";
  AppendJsonString(out, row.name);
  out += ",\"longName\":";
  AppendJsonString(out, map.GetLongLangName(id));
  out += ",\"langCode\":";
  AppendJsonString(out, row.langCode);
  out += ",\"countryCode\":";
  AppendJsonString(out, row.countryCode);
  out += ",\"langGroup\":" + std::to_string(row.langGroup);
  out += ",\"ansiCodePage\":" + std::to_string(row.ansiCodepage);
  out += map.IsRtlLang(id) ? ",\"rtl\":true" : ",\"rtl\":false";
}

std::optional<int> ParseProjectLang(const std::string& text) {
  if (const auto number = ParseInt32(text)) return number;
  if (text.empty()) return std::nullopt;
  const int id = CLangMap::Instance().GetLangByCulName(Utf8ToUtf16(text));
  return id == -1 ? std::nullopt : std::optional(id);
}

}  // namespace locmodel::cli
