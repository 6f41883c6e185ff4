#include "locmodel/config/db_cfg.h"

#include <algorithm>

#include "config/required_node.h"
#include "locmodel/lang/lang_map.h"
#include "locmodel/lang/macros_util.h"

LOCMODEL_DEFINE_PROP(CDBTablesCfgProp, u"DBTablesCfg");

using locmodel::config_detail::DoRequiredNode;

namespace {

// `text` with the macros of `lang` expanded; the entry of `map` for `lang`
// wins when there is one.
std::u16string ByLang(const CIntStrMap& map, const std::u16string& text, int lang) {
  const auto it = map.find(lang);
  if (it != map.end()) return it->second;
  return MacrosUtil::ApplyMacrosMap(text, CLangMap::Instance().GetLangMacros(lang));
}

}  // namespace

std::u16string CDBSROFFieldCfg::GetFieldByLang(int lang) const {
  return ByLang(NameByLang, TransNamePattern, lang);
}

bool CDBSROFFieldCfg::Do(Serial::ISerialStream& stream) {
  return DoRequiredNode(stream, u"NameByLang", NameByLang) &&
         DoRequiredNode(stream, u"TransNamePattern", TransNamePattern);
}

CDBSROFFieldsCfg::const_iterator CDBSROFFieldsCfg::Find(int lang, const std::u16string& name) const {
  return std::find_if(begin(), end(),
                      [&](const CDBSROFFieldCfg& field) { return field.GetFieldByLang(lang) == name; });
}

CDBSROFFieldsCfg::iterator CDBSROFFieldsCfg::Find(int lang, const std::u16string& name) {
  return begin() + (std::as_const(*this).Find(lang, name) - cbegin());
}

bool CDBSROFFieldsCfg::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, static_cast<std::vector<CDBSROFFieldCfg>&>(*this));
}

bool CSROFSchemeCfg::Do(Serial::ISerialStream& stream) {
  return DoRequiredNode(stream, u"TransFields", TransFields);
}

std::u16string CLangIdSchemeCfg::GetValueByLang(int lang) const {
  return ByLang(LangIdValueMap, LangIdFieldValueTemplate, lang);
}

bool CLangIdSchemeCfg::Do(Serial::ISerialStream& stream) {
  return DoRequiredNode(stream, u"LangIdField", LangIdField) &&
         Serial::DoNode(stream, u"LangIdFieldValueTemplate", LangIdFieldValueTemplate) &&
         Serial::DoNode(stream, u"LangIdValueMap", LangIdValueMap) &&
         Serial::DoNode(stream, u"TransFields", TransFields);
}

std::vector<std::u16string> CDBTableCfg::GetKeyFields() const {
  std::vector<std::u16string> names;
  for (const KeyField& field : KeyFields) names.push_back(field.name);
  return names;
}

std::vector<std::u16string> CDBTableCfg::GetLocFields(int lang) const {
  std::vector<std::u16string> fields;
  switch (SchemeId) {
    case SROF_SCHEME:
      for (const CDBSROFFieldCfg& field : SROFCfg.TransFields) fields.push_back(field.GetFieldByLang(lang));
      break;
    case LANG_ID_SCHEME:
      fields = LangIdSchemeCfg.TransFields;
      break;
  }
  return fields;
}

bool CDBTableCfg::operator==(const CDBTableCfg& other) const {
  if (TableName != other.TableName || KeyFields != other.KeyFields || SchemeId != other.SchemeId ||
      WhereCond != other.WhereCond)
    return false;
  switch (SchemeId) {
    case SROF_SCHEME: return SROFCfg == other.SROFCfg;
    case LANG_ID_SCHEME: return LangIdSchemeCfg == other.LangIdSchemeCfg;
  }
  return true;
}

bool CDBTableCfg::Do(Serial::ISerialStream& stream) {
  static const Serial::EnumSerialStrategy<LocalizationSchemeId, uint32_t> kScheme;
  if (!DoRequiredNode(stream, u"TableName", TableName) ||
      !DoRequiredNode(stream, u"LocalizationSchemeId", SchemeId, kScheme))
    return false;
  // The flags travel as a second list of names.
  std::vector<std::u16string> keys, groups;
  if (!stream.IsReading()) {
    for (const KeyField& field : KeyFields) {
      keys.push_back(field.name);
      if (field.group) groups.push_back(field.name);
    }
  }
  if (!DoRequiredNode(stream, u"KeyFields", keys)) return false;
  if (!Serial::DoNode(stream, u"GroupFields", groups)) groups.clear();  // flags are optional
  if (stream.IsReading()) {
    KeyFields.clear();
    for (std::u16string& name : keys) {
      const bool group = std::find(groups.begin(), groups.end(), name) != groups.end();
      KeyFields.push_back({std::move(name), group});
    }
  }
  bool scheme = false;
  switch (SchemeId) {
    case SROF_SCHEME: scheme = DoRequiredNode(stream, u"SROFCfg", SROFCfg); break;
    case LANG_ID_SCHEME: scheme = DoRequiredNode(stream, u"LangIdSchemeCfg", LangIdSchemeCfg); break;
  }
  if (!scheme) return false;
  Serial::DoNode(stream, u"WhereCond", WhereCond);  // optional
  return true;
}

CDBTablesCfg::const_iterator CDBTablesCfg::GetTableCfg(const std::u16string& name) const {
  return std::find_if(begin(), end(), [&](const CDBTableCfg& table) { return table.TableName == name; });
}

CDBTablesCfg::iterator CDBTablesCfg::GetTableCfg(const std::u16string& name) {
  return begin() + (std::as_const(*this).GetTableCfg(name) - cbegin());
}

bool CDBTablesCfg::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, static_cast<std::vector<CDBTableCfg>&>(*this));
}
