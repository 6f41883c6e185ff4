// Character entity references ("&amp;", "&#233;", "&#x00E9;") in UTF-16 text.
//
// CCharEntitiesHelper decodes references to characters, encodes characters
// as named references, and "hides" references: each one is overwritten in
// place by its character, so the text keeps its length and offsets while its
// entities no longer look like markup.
//
// Two pairs of process-wide tables are built on first use (no lock: the
// library is called from one thread at a time):
// - HTML: the 252 character entities of HTML 4.01 (Latin-1, symbols,
//   special) plus "apos" and the upper-case "AMP", "COPY", "GT", "LT",
//   "QUOT", "REG". In the character-to-name direction a later name replaces
//   an earlier one, so "<" encodes as "&LT;".
// - XML: "quot", "amp", "apos", "lt", "gt".
//
// A reference is "&" + letters + ";" naming an entry of the table (exact
// case), or "&#" + 1-6 decimal digits + ";" or "&#x" + 1-4 hex digits + ";"
// with a value from 1 to 65535 (a surrogate value yields that lone unit).
// In a text of length n an "&" at position n - 2 or later never starts a
// reference. Every scan is linear: a failed candidate resumes where its
// reading stopped, never at the start.
#pragma once

#include <functional>
#include <map>
#include <string>

class CCharEntitiesHelper {
 public:
  // Name-to-character maps allow lookup by std::u16string_view.
  using EntityToUnicodeMap = std::map<std::u16string, char16_t, std::less<>>;
  using UnicodeToEntityMap = std::map<char16_t, std::u16string>;

  CCharEntitiesHelper() = delete;

  // The next reference at or after `from`: its character, with `start` at
  // its "&" and `end` at its ";". 0 when there is none (start and end are
  // then left alone).
  static char16_t GetNextEntity(const EntityToUnicodeMap& names, const std::u16string& text,
                                int from, int& start, int& end);
  // Every reference replaced by its character.
  static void EntitiesToUnicode(const EntityToUnicodeMap& names, std::u16string& text);
  // Every character that has a name replaced by "&name;".
  static void UnicodeToEntities(const UnicodeToEntityMap& chars, std::u16string& text);
  // Every unit of each reference, "&" to ";", overwritten with its
  // character; the length does not change.
  static void HideEntities(const EntityToUnicodeMap& names, std::u16string& text);

  static void HTMLEntitiesToUnicode(std::u16string& text);
  static void UnicodeToHTMLEntities(std::u16string& text);
  static void HideHTMLEntities(std::u16string& text);
  static void XMLEntitiesToUnicode(std::u16string& text);
  static void UnicodeToXMLEntities(std::u16string& text);
  // A copy of `text` with the five XML entities encoded.
  static std::u16string ToXML(const std::u16string& text);

  static const EntityToUnicodeMap& GetHTMLEntityToUnicodeMap();
  static const UnicodeToEntityMap& GetUnicodeToHTMLEntityMap();
  static const EntityToUnicodeMap& GetXMLEntityToUnicodeMap();
  static const UnicodeToEntityMap& GetUnicodeToXMLEntityMap();

 private:
  // Fill a pair of tables unless it already holds names.
  static void InitHTMLEntitiesTable();
  static void InitXMLEntitiesTable();

  static EntityToUnicodeMap HTMLEntityToUnicode_;
  static UnicodeToEntityMap UnicodeToHTMLEntity_;
  static EntityToUnicodeMap XMLEntityToUnicode_;
  static UnicodeToEntityMap UnicodeToXMLEntity_;
};
