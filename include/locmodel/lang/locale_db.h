// The locale database the language map is filled from: which locales the
// system enumerates per language group, and what it knows about each.
//
// Answers the same questions as the Windows locale service, from ICU's
// locale data (identifier <-> locale, ISO codes, English names) and a
// compiled-in table of Windows facts ICU lacks (language groups, code pages,
// three-letter abbreviations). Read-only and safe to call from any thread.
#pragma once

#include <string>
#include <vector>

namespace locmodel {

enum class LocaleField {
  IsoLanguage,      // ISO 639 language code ("en")
  IsoCountry,       // ISO 3166 country code ("US"), empty for a neutral locale
  EnglishLanguage,  // English language name ("English")
  EnglishCountry,   // English country name ("United States")
  AnsiCodePage,     // decimal text; "0" for a Unicode-only locale
  OemCodePage,      // decimal text; "1" for a Unicode-only locale
  AbbrevLanguage,   // Windows three-letter abbreviation ("ENU")
};

// The language groups that have locales, ascending.
std::vector<int> EnumLanguageGroups();

// The specific locale identifiers (never a neutral one) of `group`; empty for
// an unknown group.
std::vector<int> EnumLanguageGroupLocales(int group);

// The field of the locale with identifier `lcid` (its low 16 bits), or an
// empty text when the database does not know it. ICU answers the code and
// name fields only for identifiers it maps to a locale and back unchanged:
// for others it would silently substitute a different locale.
std::u16string GetLocaleInfo(int lcid, LocaleField field);

}  // namespace locmodel
