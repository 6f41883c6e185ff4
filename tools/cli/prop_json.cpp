#include "cli/prop_json.h"

#include <map>

#include "cli/json.h"
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/control_mapping.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_langs.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/hhp/hhp_info.h"
#include "locmodel/props/prop_classes.h"

namespace locmodel::cli {
namespace {

void Append(std::string& out, const PropNoValue&) { out += "null"; }
void Append(std::string& out, const std::u16string& v) { AppendJsonString(out, v); }
void Append(std::string& out, int v) { out += std::to_string(v); }
void Append(std::string& out, unsigned long long v) { out += std::to_string(v); }
void Append(std::string& out, bool v) { out += v ? "true" : "false"; }
void Append(std::string& out, const std::vector<unsigned char>& v) {
  out.push_back('"');
  AppendHex(out, v.data(), v.size());
  out.push_back('"');
}
void Append(std::string& out, const CEmbeddedCfg& v) {
  out.append("[").append(std::to_string(v.SourceType)).append(",");
  out.append(std::to_string(v.KindCode)).append(",").append(std::to_string(v.ExtraParam)).append("]");
}
void Append(std::string& out, const VARIANT& v) {
  out.append("{\"vt\":").append(std::to_string(v.vt())).append(",\"raw\":\"");
  AppendHex(out, v.raw().data(), v.raw().size());
  out += "\",\"text\":";
  if (v.vt() == VARIANT::VT_BSTR) AppendJsonString(out, v.text());
  else out += "null";
  out.push_back('}');
}
void Append(std::string& out, const CConditionEntry& v) {
  out += "{\"id\":";
  AppendJsonString(out, v.ID);
  out += ",\"title\":";
  AppendJsonString(out, v.Title);
  out += ",\"expression\":";
  AppendJsonString(out, v.Expression);
  out.push_back('}');
}
// The identifiers as stored, whatever the rules would make of them.
void Append(std::string& out, const CPrjLangs& v) {
  out.append("{\"native\":").append(std::to_string(v.getNative()));
  out.append(",\"target\":").append(std::to_string(v.getTarget()));
  out.append(",\"secondary\":").append(std::to_string(v.getSecondary()));
  out += ",\"selected\":[";
  for (int lang : v.getSelectedLangs()) out.append(std::to_string(lang)).push_back(',');
  if (out.back() == ',') out.pop_back();
  out += "]}";
}
// Every form is declared before the templates that nest them.
void Append(std::string& out, const CFilter& v);
void Append(std::string& out, const CXmlNamespaceDecl& v);
void Append(std::string& out, const CEncoding& v);
void Append(std::string& out, const CEncodingCfg& v);
void Append(std::string& out, const CXPathMapping& v);
void Append(std::string& out, const CControlTypeMapping& v);
void Append(std::string& out, const CDBTableCfg::KeyField& v);
void Append(std::string& out, const CDBSROFFieldCfg& v);
void Append(std::string& out, const CLangIdSchemeCfg& v);
void Append(std::string& out, const CDBTableCfg& v);
template <typename K, typename V>
void Append(std::string& out, const std::pair<K, V>& entry);
template <typename C>
  requires requires(const C& c) { c.begin(); typename C::value_type; }
void Append(std::string& out, const C& container);

void Append(std::string& out, unsigned v) { out += std::to_string(v); }
// A rectangle as [left,top,right,bottom].
void Append(std::string& out, const RECT& v) {
  out.append("[").append(std::to_string(v.left)).append(",").append(std::to_string(v.top)).append(",");
  out.append(std::to_string(v.right)).append(",").append(std::to_string(v.bottom)).append("]");
}
void Append(std::string& out, const CAliasEntry& v);
void Append(std::string& out, const CWindowEntry& v);
void Append(std::string& out, const CHhpInfo& v);
template <typename K, typename V>
void Append(std::string& out, const std::pair<K, V>& entry) {
  out.push_back('[');
  Append(out, entry.first);
  out.push_back(',');
  Append(out, entry.second);
  out.push_back(']');
}
// Lists, sets and maps: an array of their elements in container order.
template <typename C>
  requires requires(const C& c) { c.begin(); typename C::value_type; }
void Append(std::string& out, const C& container) {
  out.push_back('[');
  bool first = true;
  for (const auto& element : container) {
    if (!first) out.push_back(',');
    first = false;
    Append(out, element);
  }
  out.push_back(']');
}

// An object of "name":value members, closed when it goes out of scope:
// JsonFields{out}("a", 1)("b", text) writes {"a":1,"b":"..."}.
class JsonFields {
 public:
  explicit JsonFields(std::string& out) : out_(out) { out_.push_back('{'); }
  ~JsonFields() { out_.push_back('}'); }
  template <typename T>
  JsonFields& operator()(const char* name, const T& value) {
    if (out_.back() != '{') out_.push_back(',');
    out_.append("\"").append(name).append("\":");
    Append(out_, value);
    return *this;
  }

 private:
  std::string& out_;
};

// The forms of the configuration value types; every member name is part of
// the tools' output contract.
void Append(std::string& out, const CFilter& v) {
  JsonFields{out}("include", v.GetIncludeSet())("exclude", v.GetExcludeSet());
}
void Append(std::string& out, const CXmlNamespaceDecl& v) { JsonFields{out}("name", v.Name)("uri", v.Uri); }
// The code page as stored: -3 for an encoding given by name, -4 for the
// ANSI code page of the language written.
void Append(std::string& out, const CEncoding& v) {
  JsonFields{out}("codepage", v == CEncoding::SelectAnsiByLang ? -4 : v.getCodepage(0))("name", v.getEncoding());
}
struct LangEncoding {
  int lang;
  const CEncoding& encoding;
};
void Append(std::string& out, const LangEncoding& v) { JsonFields{out}("lang", v.lang)("encoding", v.encoding); }
void Append(std::string& out, const CEncodingCfg& v) {
  std::vector<LangEncoding> byLang;
  for (const auto& [lang, encoding] : v.EncodingByLang) byLang.push_back({lang, encoding});
  JsonFields{out}("default", v.Default)("byLang", byLang);
}
void Append(std::string& out, const CXPathMapping& v) { JsonFields{out}("xpath", v.XPath)("format", v.Format); }
void Append(std::string& out, const CControlTypeMapping& v) {
  JsonFields{out}("srcTypeMask", v.SrcTypeMask)("show", v.Show)("controlType", v.ControlType);
}
void Append(std::string& out, const CDBTableCfg::KeyField& v) { JsonFields{out}("name", v.name)("group", v.group); }
void Append(std::string& out, const CDBSROFFieldCfg& v) {
  JsonFields{out}("nameByLang", v.NameByLang)("pattern", v.TransNamePattern);
}
void Append(std::string& out, const CLangIdSchemeCfg& v) {
  JsonFields{out}("field", v.LangIdField)("template", v.LangIdFieldValueTemplate)("map", v.LangIdValueMap)(
      "fields", v.TransFields);
}
// Both schemes, as held in memory; only the selected one is ever saved.
void Append(std::string& out, const CDBTableCfg& v) {
  JsonFields{out}("name", v.TableName)("scheme", static_cast<unsigned long long>(v.SchemeId))(
      "keyFields", v.KeyFields)("srof", v.SROFCfg.TransFields)("langId", v.LangIdSchemeCfg)("where", v.WhereCond);
}

// An .hhp project: an object of its fields under their serial names, in
// the order of the data.
void Append(std::string& out, const CAliasEntry& v) { JsonFields{out}("id", v.id)("val", v.val); }
void Append(std::string& out, const CWindowEntry& v) {
  JsonFields{out}("ValidMask", v.ValidMask)("WindowType", v.WindowType)("TitleBarText", v.TitleBarText)(
      "TOCFile", v.TOCFile)("IndexFile", v.IndexFile)("DefaultFile", v.DefaultFile)("HomeFile", v.HomeFile)(
      "Jump1File", v.Jump1File)("Jump1Text", v.Jump1Text)("Jump2File", v.Jump2File)("Jump2Text", v.Jump2Text)(
      "NavPaneStyle", v.NavPaneStyle)("Width", v.Width)("bfButtonsShow", v.bfButtonsShow)("Position", v.Position)(
      "Style", v.Style)("StyleEx", v.StyleEx)("ShowState", v.ShowState)("IsClosed", v.IsClosed)(
      "DefaultPane", v.DefaultPane)("DefaultPaneTab", v.DefaultPaneTab)("NotifyId", v.NotifyId);
}
void Append(std::string& out, const CHhpInfo& v) {
  JsonFields{out}("Version", v.Version)("AutoIndex", v.AutoIndex)("AutoTOC", v.AutoTOC)("CreateCHI", v.CreateCHI)(
      "TargetFile", v.TargetFile)("ErrorLogFile", v.ErrorLogFile)("ContentsFile", v.ContentsFile)(
      "IndexFile", v.IndexFile)("DefaultTopic", v.DefaultTopic)("Title", v.Title)("lcid", v.Lcid)(
      "Language", v.Language)("IsFullTextSearch", v.IsFullTextSearch)("DefaultWindow", v.DefaultWindow)(
      "IsBinaryIndex", v.IsBinaryIndex)("IsBinaryTOC", v.IsBinaryTOC)("DefaultFont", v.DefaultFont)(
      "Windows", v.Windows)("MergeList", v.MergeList)("AliasList", v.AliasList)("Files", v.Files);
}

using Appender = void (*)(std::string&, const CProp&);

template <typename P>
std::pair<const CPropClass*, Appender> Form() {
  return {&P::classInstance, [](std::string& out, const CProp& prop) {
            Append(out, static_cast<const typename P::ValueType&>(static_cast<const P&>(prop)));
          }};
}

}  // namespace

bool AppendPropValue(std::string& out, const CProp& prop) {
  static const std::map<const CPropClass*, Appender> forms = {
      Form<CEmptyProp>(),     Form<CStrProp>(),      Form<CBinaryProp>(),
      Form<CIntProp>(),       Form<CBoolProp>(),     Form<CEmbeddedCfgProp>(),
      Form<CItemIdProp>(),    Form<CIntVectorProp>(), Form<CStrSetProp>(),
      Form<CStrListProp>(),   Form<CIntStrMapProp>(), Form<CIntSetProp>(),
      Form<CVariantProp>(),   Form<CLangSetProp>(),   Form<CConditionFilterCfgProp>(),
      Form<CPrjLangsProp>(),  Form<CDBTablesCfgProp>(), Form<CEncodingCfgProp>(),
      Form<CFilterProp>(),    Form<CXmlNamespacesCfgProp>(), Form<CXPathMappingListProp>(),
      Form<CHhpInfoProp>(),   Form<CControlMappingProp>(),
  };
  const auto it = forms.find(&prop.GetClass());
  if (it == forms.end()) return false;
  it->second(out, prop);
  return true;
}

}  // namespace locmodel::cli
