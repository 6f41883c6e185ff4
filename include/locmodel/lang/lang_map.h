// CLangMap: the process-wide table of languages, built once from the locale
// database (locmodel/lang/locale_db.h) and then only read.
//
// Every part that needs a language's culture name, ISO codes, English or
// long display name or default ANSI code page asks this map. A language is
// passed as the 32-bit value of CLangId; the map looks rows up by its 16-bit
// Windows identifier (sign-extended). Lookups never fail: an unknown
// identifier falls back as each operation states.
//
// The map is copyable, but the system uses the one instance of Instance().
// Building it costs a few milliseconds; after that every operation is a map
// lookup and it may be read from any thread.
#pragma once

#include <map>
#include <string>

// One row of the language table; a plain record.
class CLangDescr {
 public:
  CLangDescr() = default;
  explicit CLangDescr(const char16_t* name) : name(name ? name : u"") {}

  std::u16string name;         // English display name (group or region name)
  std::u16string cultureName;  // "en-US", "no", "zh-CHT", "sr-Cyrl-CS", ...
  std::u16string countryCode;  // ISO 3166 of the row's locale
  std::u16string langCode;     // ISO 639, with "-Cyrl" for the Cyrillic variants
  int langGroup = 0;           // Windows language group the locale came from
  int lcid = 0;                // the locale every query of the row uses
  int ansiCodepage = 0;        // default ANSI code page
};

// A node of the long-name tree: an identifier and the names below it.
class CLangNameNode {
 public:
  CLangNameNode() = default;
  explicit CLangNameNode(int lang) : lang(lang) {}

  int lang = 0;
  std::map<std::u16string, CLangNameNode> children;
};

class CLangMap {
 public:
  using LangTable = std::map<int, CLangDescr>;
  using NameTree = std::map<std::u16string, CLangNameNode>;
  using Macros = std::map<std::u16string, std::u16string>;

  CLangMap() = default;

  // The single instance, built on the first call.
  static const CLangMap& Instance();

  // The row of `lang`; an identifier not in the table yields the row of the
  // table's lowest identifier.
  const CLangDescr& GetLang(int lang) const;
  // The row's default ANSI code page, 0 for an identifier not in the table.
  int GetAnsiCodepage(int lang) const;
  // The identifier whose culture name equals `culName` ignoring case; the
  // lowest such identifier, -1 when there is none.
  int GetLangByCulName(const std::u16string& culName) const;
  // The Windows three-letter abbreviation ("ENU"), empty when unknown.
  std::u16string GetLangAbbr(int lang) const;
  // The abbreviation; only its first two letters for a neutral identifier.
  std::u16string GetWinLang(int lang) const;
  // "Language - Region" from the long-name tree; for an identifier missing
  // there, "<long name of its primary language> - (<sublanguage>)", or the
  // decimal identifier for a neutral one.
  std::u16string GetLongLangName(int lang) const;
  // True for Arabic, Hebrew, Urdu, Farsi, Syriac, Divehi and Dari.
  bool IsRtlLang(int lang) const;
  // The nine language macros ("$(CultureName)" -> "en-US", ...).
  Macros GetLangMacros(int lang) const;

  // The whole table, in identifier order (for listings).
  const LangTable& GetLangs() const { return langs_; }

 protected:
  // Fills the table, the long-name tree and the Symbian codes.
  void Init();

 private:
  static CLangMap& GetInstance();

  LangTable langs_;
  NameTree names_;
  std::map<int, int> symbian_;  // identifier -> Symbian language code
};
