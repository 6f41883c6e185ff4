// project-langs: the project languages, the brands and the output languages
// seen at an item, and changes to them through the rules of CPrjConfig.
#include <set>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/lang_common.h"
#include "cli/value_text.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/items/res_item.h"
#include "locmodel/lang/encoding.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/lang/lang_map.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// More output languages than this are refused before they are computed.
constexpr unsigned long long kMaxOutputLangs = 100000;

// The number of languages GetAllOutputLangs would return, at most.
unsigned long long OutputBound(const CResItem& item, unsigned char brand) {
  const CIntStrMap& brands = CPrjConfig::GetBrandMap(item, true);
  std::set<short> parts;
  for (int lang : CPrjConfig::GetSelectedLangs(item)) parts.insert(CLangId(lang).GetRawLng());
  if (brands.size() > 1) parts.insert(CLangId(CPrjConfig::GetNative(item)).GetRawLng());
  std::set<unsigned char> keys;
  for (const auto& entry : brands) {
    const auto low = static_cast<unsigned char>(entry.first & 0xFF);
    if (brand == CLangId::UnrealBrand || low == brand) keys.insert(low);
  }
  return static_cast<unsigned long long>(parts.size()) * keys.size();
}

void AppendLang(std::string& out, const CResItem& item, int lang, bool json) {
  if (lang == CLangId::NoLang) {
    out += json ? "null" : "none";
    return;
  }
  const CLangId id(lang);
  const auto& rows = CLangMap::Instance().GetLangs();
  const auto row = rows.find(id.GetRawLng());
  const std::u16string name = CPrjConfig::GetBrandedLangName(item, lang);
  if (!json) {
    out += std::to_string(lang) + " " + (row == rows.end() ? "-" : Utf16ToUtf8(row->second.cultureName)) +
           " " + Utf16ToUtf8(name);
    return;
  }
  const CEncoding& ansi = CEncoding::SelectAnsiByLang;
  out += "{\"id\":" + std::to_string(lang) + ",\"brand\":" + std::to_string(id.GetBrand()) + ",\"culture\":";
  if (row == rows.end()) out += "null";
  else AppendJsonString(out, row->second.cultureName);
  out += ",\"name\":";
  AppendJsonString(out, name);
  out += ",\"codepage\":" + std::to_string(ansi.getCodepage(lang)) + ",\"encoding\":";
  AppendJsonString(out, ansi.GetIcuName(lang));
  out += ",\"iana\":";
  const std::u16string iana = ansi.GetIanaName(lang);
  if (iana.empty()) out += "null";
  else AppendJsonString(out, iana);
  out.push_back('}');
}

void AppendLangs(std::string& out, const CResItem& item, const CLangSet& langs, bool json) {
  bool first = true;
  for (int lang : langs) {
    if (!first) out += json ? "," : ", ";
    first = false;
    AppendLang(out, item, lang, json);
  }
}

// Warns when a value of another class hides the stored one.
void WarnInvalid(const CResItem& item, const CPropName& name, const CPropClass& valueClass, std::ostream& err) {
  for (const CResItem* at = &item; at; at = at->GetParent()) {
    if (const CProp* stored = at->GetCfgProps().GetPropW(name)) {
      if (&stored->GetClass() != &valueClass)
        err << "locmodel: warning: " << Utf16ToUtf8(name.GetStr()) << " at " << PositionPath(*at) << " holds a "
            << stored->GetClass().GetTypeName() << ", not a " << valueClass.GetTypeName()
            << "; the default is shown\n";
      return;
    }
  }
}

int Show(const ConfigProject& project, unsigned char brand, bool json, std::ostream& out, std::ostream& err) {
  const CResItem& item = *project.item;
  WarnInvalid(item, CPrjConfig::PrjLangsPropName(), CPrjLangsProp::classInstance, err);
  WarnInvalid(item, CPrjConfig::BrandMapPropName(), CIntStrMapProp::classInstance, err);
  const unsigned long long bound = OutputBound(item, brand);
  if (bound > kMaxOutputLangs)
    return Fail(err, project.path + ": too many output languages (" + std::to_string(bound) + ")");

  const CPrjLangs& langs = CPrjConfig::GetPrjLangs(item, true);
  std::string text;
  const char* label[] = {"{\"item\":", ",\"native\":", ",\"target\":", ",\"secondary\":", ",\"selected\":[",
                         "],\"brands\":[", "],\"output\":[", "]}\n"};
  const char* textLabel[] = {"item ", "\nnative ", "\ntarget ", "\nsecondary ", "\nselected ",
                             "\nbrands ", "\noutput ", "\n"};
  const char* const* at = json ? label : textLabel;
  text += *at++;
  text += json ? "\"" + PositionPath(item) + "\"" : PositionPath(item);
  for (int lang : {langs.getNative(), langs.getTarget(), langs.getSecondary()}) {
    text += *at++;
    AppendLang(text, item, lang, json);
  }
  text += *at++;
  AppendLangs(text, item, langs.getSelectedLangs(), json);
  text += *at++;
  bool first = true;
  for (const auto& [key, name] : CPrjConfig::GetBrandMap(item, true)) {
    if (!first) text += json ? "," : ", ";
    first = false;
    if (json) {
      text += "{\"brand\":" + std::to_string(key) + ",\"name\":";
      AppendJsonString(text, name);
      text.push_back('}');
    } else {
      text += std::to_string(key) + " " + Utf16ToUtf8(name);
    }
  }
  text += *at++;
  AppendLangs(text, item, CPrjConfig::GetAllOutputLangs(item, brand), json);
  text += *at;
  out << text;
  return kOk;
}

// One requested change: applies it, then says whether the field or set is
// what was asked.
struct Change {
  const char* option;
  const char* rule;
  bool (*apply)(CResItem& item, const CLangSet& set, int lang);
};

const Change kChanges[] = {
    {"--select", "a selected set may not hold the native language",
     [](CResItem& item, const CLangSet& set, int) {
       CPrjConfig::SetSelectedLangs(item, set);
       return CPrjConfig::GetSelectedLangs(item) == set;
     }},
    {"--add", "", [](CResItem& item, const CLangSet&, int lang) {
       CPrjConfig::AddSelectedLang(item, lang);
       return CPrjConfig::GetSelectedLangs(item).count(lang) != 0;
     }},
    {"--target", "the target must be selected or another brand of the native language",
     [](CResItem& item, const CLangSet&, int lang) {
       CPrjConfig::SetTarget(item, lang);
       return CPrjConfig::GetTarget(item) == lang;
     }},
    {"--secondary", "the secondary must be none, selected or another brand of the native language",
     [](CResItem& item, const CLangSet&, int lang) {
       CPrjConfig::SetSecondary(item, lang);
       return CPrjConfig::GetSecondary(item) == lang;
     }},
};

}  // namespace

int RunProjectLangs(const Args& args, std::ostream& out, std::ostream& err) {
  unsigned char brand = CLangId::UnrealBrand;
  if (const std::string* text = args.Value("--brand")) {
    const auto value = ParseInt32(*text);
    if (!value || *value < 0 || *value > 255)
      return UsageError(err, "project-langs", "--brand takes a number from 0 to 255");
    brand = static_cast<unsigned char>(*value);
  }
  // The requested changes, read before anything is loaded.
  struct Request {
    const Change* change;
    CLangSet set;
    int lang = CLangId::NoLang;
  };
  std::vector<Request> requests;
  for (const Change& change : kChanges) {
    const std::string* text = args.Value(change.option);
    if (!text) continue;
    Request request{&change, {}};
    if (std::string(change.option) == "--select") {
      for (size_t begin = 0; begin < text->size();) {
        const size_t end = std::min(text->find(',', begin), text->size());
        const auto lang = ParseProjectLang(text->substr(begin, end - begin));
        if (!lang) return UsageError(err, "project-langs", "bad language in --select: '" + text->substr(begin, end - begin) + "'");
        request.set.insert(*lang);
        begin = end + 1;
      }
    } else if (!(std::string(change.option) == "--secondary" && *text == "none")) {
      const auto lang = ParseProjectLang(*text);
      if (!lang) return UsageError(err, "project-langs", "bad language for " + std::string(change.option) + ": '" + *text + "'");
      request.lang = *lang;
    }
    requests.push_back(request);
  }

  ConfigProject project;
  if (const int status = OpenConfigProject(args, "project-langs", !requests.empty(), err, project); status != kOk)
    return status;
  if (!requests.empty()) {
    CResItem& item = *project.item;
    const CPrjLangs before = CPrjConfig::GetPrjLangs(item, true);
    for (const Request& request : requests)
      if (!request.change->apply(item, request.set, request.lang))
        return Fail(err, std::string(request.change->option) + " refused: " + request.change->rule);
    if (CPrjConfig::GetPrjLangs(item, true) == before) return out << "unchanged\n", kOk;
    if (const int status = SaveConfigProject(project, err); status != kOk) return status;
  }
  return Show(project, brand, args.Has("--json"), out, err);
}

}  // namespace locmodel::cli
