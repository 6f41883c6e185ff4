// COldPrjConfig: the settings of a project of the old form, which kept them
// as key/value rows in the value store of its project database (CStorage)
// rather than as configuration properties. Load reads them, Convert writes
// them onto an item (normally the root) through the configuration accessors.
//
// Each field is public and named after the key it is read from. Neither
// operation reports an error: an unusable database leaves every field as it
// was, a missing key leaves its field unchanged, and storage errors reach
// the message proxy as usual (type 2). Load never writes to the database.
// For the whole move of an old project, with an account of every row, see
// locmodel/config/migration.h.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "locmodel/lang/lang_id.h"

class CResItem;

class COldPrjConfig {
 public:
  // The most selected languages the old form offered; neither Load nor
  // Convert consults it.
  static constexpr int MaxSelLang = 75;

  // How a key's value is stored and read.
  enum class KeyKind { Int, Str, Data };
  struct Key {
    std::u16string_view name;
    KeyKind kind;
  };
  // Every key Load reads, in the order it reads them.
  static std::span<const Key> Keys();
  // The entries of a stored "SelectedLangs" value, uncut: 32-bit
  // little-endian integers, a trailing part of an entry ignored.
  static std::vector<int> DecodeLangList(const unsigned char* data, unsigned int size);

  COldPrjConfig() = default;
  COldPrjConfig(const COldPrjConfig&) = default;
  COldPrjConfig& operator=(const COldPrjConfig&) = default;
  ~COldPrjConfig() = default;

  // Reads every value stored with an empty file name from the project
  // database at `path`, opened read-only (a missing file is not created).
  // "SelectedLangs" holds 32-bit little-endian entries; the list is cut at
  // the first 77777777 and then at the first 7777, and the target and the
  // secondary language (77777777 read as 7777) join it.
  void Load(const std::u16string& path);
  // Stores the settings as configuration properties of `item`: the project
  // languages with `native` (the selected list, target and secondary through
  // the CPrjLangs rules, which may refuse them), the run-localized command
  // ("#dump#" as the command item without the custom flag), the crash
  // finder, the PE output type (1 resource-only, 2 multiple languages in
  // one file, else 0), form files in Unicode and the fuzzy-update threshold.
  // A value equal to the effective one stores nothing.
  void Convert(CResItem& item) const;

  int RunLocalizedCustom = 0;
  std::u16string RunLocalizedCmd;
  std::u16string RunLocalizedWorkDir;
  std::u16string RunLocalizedCmdArgs;
  int bPEResourceOnly = 0;
  int bPEMultipleLangInFile = 0;
  std::u16string CrashFinderDstDir;
  int bCrashFinderAutoStart = 1;
  int bCrashUseTempDir = 1;
  int bBorlandUnicode = 1;
  int FuzzyUpdate = 90;
  std::vector<int> SelectedLangs;  // ascending, without duplicates or 7777 once loaded
  int NativeLng = CLangId::NoLang;
  int TargetLng = CLangId::NoLang;
  int SecondaryLng = CLangId::NoLang;

 private:
  // Sorts the selected list, drops duplicates, then every 7777.
  void NormalizeSelLng();
  void AddSelectedLang(int lang);
};
