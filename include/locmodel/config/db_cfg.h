// Database localization: which tables of a database hold translatable text
// and how each keeps its translations. CDBCfg is the static accessor family
// of a database item (see locmodel/props/accessor.h); its "Tables" value is
// a CDBTablesCfg, one CDBTableCfg per table, each choosing one of two
// layouts:
//
//   field-per-language (SROF_SCHEME, CSROFSchemeCfg): every translatable
//     field has one column per language, named by a pattern or a map;
//   language-identifier (LANG_ID_SCHEME, CLangIdSchemeCfg): every language
//     has rows of its own, told apart by a language column whose value comes
//     from a template or a map.
//
// Templates and patterns hold the nine language macros ("$(CultureName)",
// "$(LangId)", ...; CLangMap::GetLangMacros), expanded for the language
// asked for, and nothing else, so a result grows linearly with its pattern.
//
// The library stores the connection string, source name, where condition
// and SQL monitor switch and returns them; it never connects to a database.
//
// A table keeps the configuration of both layouts in memory, but only the
// selected one is written and compared: the other does not survive a save,
// and a change to it alone is no change (CDBCfg::SetTables stores nothing).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

// One translatable field of the field-per-language layout.
class CDBSROFFieldCfg {
 public:
  // The column of this field for `lang`: its entry in NameByLang, else
  // TransNamePattern with the macros of `lang` expanded.
  std::u16string GetFieldByLang(int lang) const;

  bool operator==(const CDBSROFFieldCfg&) const = default;
  // "NameByLang", then "TransNamePattern"; both required.
  bool Do(Serial::ISerialStream& stream);

  CIntStrMap NameByLang;
  std::u16string TransNamePattern = u"$(CultureName)";
};

class CDBSROFFieldsCfg : public std::vector<CDBSROFFieldCfg> {
 public:
  using std::vector<CDBSROFFieldCfg>::vector;

  // The first field whose column for `lang` is `name` (case-sensitive), or
  // end().
  const_iterator Find(int lang, const std::u16string& name) const;
  iterator Find(int lang, const std::u16string& name);

  // A container of fields, without a node of its own.
  bool Do(Serial::ISerialStream& stream);
};

class CSROFSchemeCfg {
 public:
  bool operator==(const CSROFSchemeCfg&) const = default;
  // "TransFields"; false when it is absent.
  bool Do(Serial::ISerialStream& stream);

  CDBSROFFieldsCfg TransFields;
};

class CLangIdSchemeCfg {
 public:
  // The value of the language column for `lang`: its entry in
  // LangIdValueMap, else LangIdFieldValueTemplate with the macros of `lang`
  // expanded (by default the decimal language identifier).
  std::u16string GetValueByLang(int lang) const;

  bool operator==(const CLangIdSchemeCfg&) const = default;
  // "LangIdField" (required), then "LangIdFieldValueTemplate",
  // "LangIdValueMap" and "TransFields", each kept when absent.
  bool Do(Serial::ISerialStream& stream);

  std::u16string LangIdField;
  std::u16string LangIdFieldValueTemplate = u"$(LangId)";
  CIntStrMap LangIdValueMap;
  // The same columns for every language: the rows are per language.
  std::vector<std::u16string> TransFields;
};

class CDBTableCfg {
 public:
  enum LocalizationSchemeId : uint32_t { SROF_SCHEME = 0, LANG_ID_SCHEME = 1 };

  struct KeyField {
    std::u16string name;
    bool group = false;
    bool operator==(const KeyField&) const = default;
  };

  // The key field names in order, without their group flags.
  std::vector<std::u16string> GetKeyFields() const;
  // The columns that hold the translation for `lang`: the field-per-language
  // columns of `lang`, the language-identifier layout's fields, or nothing
  // for any other scheme value.
  std::vector<std::u16string> GetLocFields(int lang) const;

  // Names, key fields, scheme, the selected scheme's configuration (none for
  // another scheme value) and where condition.
  bool operator==(const CDBTableCfg& other) const;

  // "TableName", "LocalizationSchemeId" (unsigned 32 bits), "KeyFields" (the
  // names), "GroupFields" (the names flagged as group), the selected scheme's
  // node ("SROFCfg" or "LangIdSchemeCfg"), then "WhereCond". "GroupFields"
  // and "WhereCond" may be absent (no flags, no condition); any other scheme
  // value fails, on writing too.
  bool Do(Serial::ISerialStream& stream);

  std::u16string TableName;
  std::vector<KeyField> KeyFields;
  LocalizationSchemeId SchemeId = SROF_SCHEME;
  CSROFSchemeCfg SROFCfg;
  CLangIdSchemeCfg LangIdSchemeCfg;
  std::u16string WhereCond;
};

class CDBTablesCfg : public std::vector<CDBTableCfg> {
 public:
  using std::vector<CDBTableCfg>::vector;

  // The first table named `name` (case-sensitive), or end().
  const_iterator GetTableCfg(const std::u16string& name) const;
  iterator GetTableCfg(const std::u16string& name);

  // Table lists have no order.
  bool operator<(const CDBTablesCfg&) const { return false; }
  // A container of tables, without a node of its own.
  bool Do(Serial::ISerialStream& stream);
};

LOCMODEL_DECLARE_PROP(CDBTablesCfgProp, CDBTablesCfg);

class CDBCfg {
 public:
  CDBCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(ODBCConnectionString, u"ODBCConnectionString", CStrProp, std::u16string, u"");
  // The name the host shows for the data source.
  LOCMODEL_CFG_STATIC_PROP(SourceName, u"SourceName", CStrProp, std::u16string, u"");
  LOCMODEL_CFG_STATIC_PROP(Tables, u"Tables", CDBTablesCfgProp, CDBTablesCfg, CDBTablesCfg());
  // Whether the host logs the statements it runs.
  LOCMODEL_CFG_STATIC_PROP(SQLMonitor, u"SQLMonitor", CBoolProp, bool, false);
};
