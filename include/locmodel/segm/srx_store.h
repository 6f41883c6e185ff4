// CSRXStore: segmentation rules in the model of SRX 2.0 files. Named lists
// of break and no-break rules, each list mapped to the cultures whose names
// match a language pattern; read from and written to SRX 2.0 files,
// serialized as the value of a configuration property, and asked for the
// rules of one culture.
//
// The store is a plain copyable value. Patterns are ICU regular
// expressions; one ICU cannot compile stays in the store (and is written
// back) but takes no part in lookup or segmentation.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "locmodel/props/prop.h"

class CSRXStore {
 public:
  class CRule {
   public:
    CRule() = default;
    CRule(bool isBreak, std::u16string beforeBreak, std::u16string afterBreak)
        : Break(isBreak), BeforeBreak(std::move(beforeBreak)), AfterBreak(std::move(afterBreak)) {}
    bool operator==(const CRule&) const = default;
    // Flag, before-break, after-break: unnamed, in the stream's node.
    bool Do(Serial::ISerialStream& stream);

    bool Break = true;            // false for a no-break rule
    std::u16string BeforeBreak;   // must match immediately before the break
    std::u16string AfterBreak;    // must match immediately after it
  };

  // One language map: the language rule it names and the culture names it
  // applies to.
  class CCultureEntry {
   public:
    CCultureEntry() = default;
    CCultureEntry(std::u16string ruleName, std::u16string langPattern)
        : RuleName(std::move(ruleName)), LangPattern(std::move(langPattern)) {}
    bool operator==(const CCultureEntry&) const = default;
    // Rule name, language pattern: unnamed, in the stream's node.
    bool Do(Serial::ISerialStream& stream);

    std::u16string RuleName;
    std::u16string LangPattern;
  };

  using CRules = std::vector<CRule>;
  using CEntry = std::pair<CCultureEntry, CRules>;
  using CEntries = std::vector<CEntry>;

  // What Load throws when a query over a parsed file cannot be run (a rule
  // name holding a double quote makes its query invalid, for example) or
  // the file is beyond a limit.
  class CLoadError : public std::runtime_error {
   public:
    CLoadError(std::u16string path, const std::string& reason);
    const std::u16string& GetPath() const { return path_; }

   private:
    std::u16string path_;
  };

  // The largest file Load reads.
  static constexpr int MAX_FILE_SIZE = 64 << 20;
  // The most rules one Load appends, counting a rule once for every map
  // that names its language rule; a file with more is refused.
  static constexpr size_t MAX_LOADED_RULES = 250'000;
  // ICU's time limit for matching a culture name, in ticks of 10,000 match
  // steps (a few milliseconds): a pattern that needs more is hostile.
  static constexpr int LANG_MATCH_TIME_LIMIT = 20;

  // What a load passed over in silence, for tools that check rule files.
  struct LoadReport {
    bool hasSrx20Elements = false;                // any element in the SRX 2.0 namespace
    std::vector<std::u16string> missingRules;     // names maps give that no language rule has
    std::vector<std::u16string> unmappedRules;    // language rules no map names, in file order
    std::vector<std::u16string> trimmedPatterns;  // rule names whose patterns lost white space
  };

  CSRXStore() = default;

  bool IsCascade() const { return cascade_; }
  void SetCascade(bool cascade) { cascade_ = cascade; }

  // Equal cascade flags and equal entries, texts compared code unit by code
  // unit. Stores have no order: operator< is always false.
  bool operator==(const CSRXStore&) const = default;
  bool operator<(const CSRXStore&) const { return false; }

  // The field "Casaced" (the cascade flag; the name is the stored format's
  // own spelling), then the field "Rules" (the entries).
  bool Do(Serial::ISerialStream& stream);

  // Appends the language maps of the SRX 2.0 file at `path`, each with the
  // rules of the language rule it names, in file order. A header with a
  // cascade attribute sets cascading, on exactly for "yes"; without one the
  // flag stays. A rule without a break attribute is a break rule. Language
  // rules no map names are not read; elements outside the SRX 2.0
  // namespace are ignored, so an SRX 1.0 file loads with no entries.
  //
  // The file is read whole (regular files only, at most MAX_FILE_SIZE
  // bytes) and parsed from memory without network, external DTDs or
  // external entities (a file declaring one is refused), within libxml2's
  // default limits on depth, text size and entity amplification. Text is
  // read as with whitespace preservation off: an element's text is trimmed
  // at both ends, except text from CDATA sections or under
  // xml:space="preserve".
  //
  // False when the file cannot be read or does not parse. Throws CLoadError,
  // whose message names the limit, when the maps hold more than
  // MAX_LOADED_RULES rules or the queries would take more than a fixed
  // number of XPath steps, and when a query over the parsed file fails.
  // Either way the entries appended before the failure stay.
  //
  // With `report`, it is filled in for a file that parses.
  bool Load(const std::u16string& path, LoadReport* report = nullptr);
  // The same over the bytes of a file; `name` is the path CLoadError reports.
  bool LoadFromMemory(const unsigned char* data, int size, const std::u16string& name,
                      LoadReport* report = nullptr);

  // Writes the store as an SRX 2.0 file: UTF-8 with a byte order mark, every
  // line feed (also one inside a text) written as CR LF, every text through
  // CCharEntitiesHelper::ToXML. No header is written, so the cascade flag
  // is not saved and a loaded copy has cascading on. A rule list named by
  // two maps is written twice under its name, so each map reads both back.
  // Control characters other than tab, CR and LF are written as they are,
  // which no XML parser accepts. The bytes go to a temporary file beside
  // `path` that replaces it on success; false (and `path` untouched) when
  // that fails.
  bool Save(const std::u16string& path) const;
  // The bytes Save writes.
  std::string ToSRX() const;

  // The rules of every map whose language pattern matches all of `culture`
  // (case-sensitive), in map order; without cascading only the first such
  // map's. Maps whose pattern does not compile, or takes ICU longer than
  // LANG_MATCH_TIME_LIMIT to decide, are skipped.
  void GetRules(const std::u16string& culture, CRules& out) const;
  // The indexes of the entries GetRules takes the rules of, in order.
  std::vector<size_t> GetMatchingEntries(const std::u16string& culture) const;

  CEntries& GetRulesLangMap() { return entries_; }
  const CEntries& GetRulesLangMap() const { return entries_; }

 private:
  CEntries entries_;
  bool cascade_ = true;
};

LOCMODEL_DECLARE_PROP(CSRXStoreProp, CSRXStore);
