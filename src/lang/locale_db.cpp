#include "locmodel/lang/locale_db.h"

#include <unicode/uloc.h>

#include <algorithm>
#include <string_view>

#include "lang/locale_table.h"

namespace locmodel {
namespace {

using locale_table::Row;

// The table's rows by identifier, sorted once.
const std::vector<const Row*>& SortedRows() {
  static const std::vector<const Row*> rows = [] {
    std::vector<const Row*> sorted;
    sorted.reserve(locale_table::kRowCount);
    for (size_t i = 0; i < locale_table::kRowCount; ++i) sorted.push_back(&locale_table::kRows[i]);
    std::sort(sorted.begin(), sorted.end(), [](const Row* a, const Row* b) { return a->id < b->id; });
    return sorted;
  }();
  return rows;
}

const Row* FindRow(int id) {
  const auto& rows = SortedRows();
  const auto it = std::lower_bound(rows.begin(), rows.end(), id,
                                   [](const Row* row, int key) { return row->id < key; });
  return it != rows.end() && (*it)->id == id ? *it : nullptr;
}

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// ICU's locale for the identifier, or "" when ICU would answer for another
// identifier (it falls back to the language's first locale, e.g. 0x7C09
// becomes "en", which is 0x0009).
std::string IcuLocale(int id) {
  char name[ULOC_FULLNAME_CAPACITY];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = uloc_getLocaleForLCID(static_cast<uint32_t>(id), name, sizeof name, &status);
  if (U_FAILURE(status) || length <= 0 || length >= static_cast<int32_t>(sizeof name)) return {};
  name[length] = '\0';
  return uloc_getLCID(name) == static_cast<uint32_t>(id) ? std::string(name) : std::string();
}

using CodeGetter = int32_t (*)(const char*, char*, int32_t, UErrorCode*);
using NameGetter = int32_t (*)(const char*, const char*, UChar*, int32_t, UErrorCode*);

std::u16string IcuCode(const std::string& locale, CodeGetter get) {
  char code[ULOC_FULLNAME_CAPACITY];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = get(locale.c_str(), code, sizeof code, &status);
  if (U_FAILURE(status) || length <= 0 || length >= static_cast<int32_t>(sizeof code)) return {};
  return Ascii(std::string_view(code, static_cast<size_t>(length)));
}

std::u16string IcuEnglishName(const std::string& locale, NameGetter get) {
  UChar name[200];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = get(locale.c_str(), "en", name, 200, &status);
  if (U_FAILURE(status) || length <= 0 || length > 200) return {};
  return std::u16string(name, static_cast<size_t>(length));
}

// ICU reports an empty country as no name at all: keep it empty.
std::u16string IcuCountryName(const std::string& locale) {
  return IcuCode(locale, uloc_getCountry).empty() ? std::u16string()
                                                  : IcuEnglishName(locale, uloc_getDisplayCountry);
}

}  // namespace

std::vector<int> EnumLanguageGroups() {
  std::vector<int> groups;
  for (const Row* row : SortedRows())
    if (row->group != locale_table::kNeutral) groups.push_back(row->group);
  std::sort(groups.begin(), groups.end());
  groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
  return groups;
}

std::vector<int> EnumLanguageGroupLocales(int group) {
  std::vector<int> locales;
  if (group == locale_table::kNeutral) return locales;
  for (const Row* row : SortedRows())
    if (row->group == group) locales.push_back(row->id);
  return locales;
}

std::u16string GetLocaleInfo(int lcid, LocaleField field) {
  const int id = lcid & 0xFFFF;
  if (field == LocaleField::AnsiCodePage || field == LocaleField::OemCodePage ||
      field == LocaleField::AbbrevLanguage) {
    const Row* row = FindRow(id);
    if (!row) return {};
    if (field == LocaleField::AbbrevLanguage) return Ascii(row->abbr);
    return Ascii(std::to_string(field == LocaleField::AnsiCodePage ? row->ansi : row->oem));
  }
  const std::string locale = IcuLocale(id);
  if (locale.empty()) return {};
  switch (field) {
    case LocaleField::IsoLanguage: return IcuCode(locale, uloc_getLanguage);
    case LocaleField::IsoCountry: return IcuCode(locale, uloc_getCountry);
    case LocaleField::EnglishLanguage: return IcuEnglishName(locale, uloc_getDisplayLanguage);
    case LocaleField::EnglishCountry: return IcuCountryName(locale);
    default: return {};
  }
}

}  // namespace locmodel
