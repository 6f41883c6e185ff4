// xmlcfg show: the XML settings of one format as an item sees them, where
// each comes from, and the namespace declarations that would make malformed
// XML when spliced into a document.
#include <array>
#include <string_view>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/prop_json.h"
#include "cli/value_text.h"
#include "locmodel/config/xml_cfg.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// The properties of CXmlParserCfg in the order it declares them.
constexpr std::array<std::string_view, 14> kAccessors = {
    "OutputPattern",    "XPathTemplate",      "KeyXPathTemplate", "ParseComments",
    "OneLevelForXPath", "ExcludeNonTranslatedNodes", "PreserveWhitespace", "NamespacesCfg",
    "AttrFilter",       "NodeFilter",         "KeyFilter",        "EncodingCfg",
    "Autodetect",       "XPathMappingList",
};

// XML's NameStartChar and NameChar, without ":" (an NCName).
bool IsNameStart(char32_t c) {
  return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}
bool IsNameChar(char32_t c) {
  return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsNcName(const std::u16string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char32_t c = name[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      return false;  // a lone surrogate
    if (!(i == 0 ? IsNameStart(c) : IsNameChar(c))) return false;
  }
  return true;
}

// One warning per declaration that would break a document it is spliced
// into, naming it by position and prefix.
std::vector<std::string> NamespaceWarnings(const CXmlNamespacesCfg& namespaces) {
  std::vector<std::string> warnings;
  for (size_t i = 0; i < namespaces.size(); ++i) {
    const CXmlNamespaceDecl& decl = namespaces[i];
    std::string problems;
    if (!IsNcName(decl.Name)) problems = "the prefix is not an XML NCName";
    for (char16_t c : std::u16string_view(u"\"<&")) {
      if (decl.Uri.find(c) == std::u16string::npos) continue;
      problems += (problems.empty() ? "the URI holds " : ", the URI holds ") + std::string(1, static_cast<char>(c));
    }
    if (!problems.empty())
      warnings.push_back("namespace declaration " + std::to_string(i) + " (" + Utf16ToUtf8(decl.Name) + "): " + problems);
  }
  return warnings;
}

int Show(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string* formatText = args.Value("--format");
  if (!formatText) return UsageError(err, "xmlcfg", "--format is required");
  const auto format = ParseInt32(*formatText);
  if (!format) return UsageError(err, "xmlcfg", "bad format number '" + *formatText + "'");
  ConfigProject project;
  if (const int status = OpenConfigProject(args, "xmlcfg", false, err, project); status != kOk) return status;

  const CResItem& item = *project.item;
  const bool json = args.Has("--json");
  const CXmlParserCfg cfg(*format);
  std::string text = json ? "{\"item\":\"" + PositionPath(item) + "\",\"format\":" + std::to_string(*format) +
                                ",\"properties\":["
                          : "item " + PositionPath(item) + " format " + std::to_string(*format) + "\n";
  for (size_t i = 0; i < kAccessors.size(); ++i) {
    const CfgPropEntry& entry = *CfgCatalog::Find("CXmlParserCfg", kAccessors[i]);
    const CPropName name = entry.name(*format);
    // The nearest holder wins; a value of another class there reads as the
    // default, which is what is shown.
    const CResItem* from = nullptr;
    for (const CResItem* at = &item; at && !from; at = at->GetParent()) {
      const CProp* stored = at->GetCfgProps().GetPropW(name);
      if (!stored) continue;
      if (&stored->GetClass() != entry.valueClass) {
        err << "locmodel: warning: " << PropNameText(name) << " at " << PositionPath(*at) << " holds a "
            << stored->GetClass().GetTypeName() << ", not a " << entry.valueClass->GetTypeName()
            << "; the default is shown\n";
        break;
      }
      from = at;
    }
    const std::string fromText = from ? PositionPath(*from) : "";
    if (json) {
      text += i ? ",{\"name\":" : "{\"name\":";
      AppendJsonString(text, Utf8ToUtf16(PropNameText(name)));
      text += ",\"from\":" + (from ? "\"" + fromText + "\"" : std::string("null")) + ",\"value\":";
      AppendPropValue(text, entry.get(item, true, *format));
      text.push_back('}');
    } else {
      text += PropNameText(name) + " = ";
      AppendPropValue(text, entry.get(item, true, *format));
      text += from ? " (from " + fromText + ")\n" : " (default)\n";
    }
  }
  const CXmlNamespacesCfg& namespaces = cfg.GetNamespacesCfg(item, true);
  const std::vector<std::string> warnings = NamespaceWarnings(namespaces);
  if (json) {
    text += "],\"namespaceAttributes\":";
    AppendJsonString(text, namespaces.GetAttrStr());
    text += ",\"warnings\":[";
    for (size_t i = 0; i < warnings.size(); ++i) {
      if (i) text.push_back(',');
      AppendJsonString(text, Utf8ToUtf16(warnings[i]));
    }
    text += "]}\n";
  } else {
    text += "namespace attributes: " + Utf16ToUtf8(namespaces.GetAttrStr()) + "\n";
    for (const std::string& warning : warnings) text += "warning: " + warning + "\n";
  }
  out << text;
  return kOk;
}

}  // namespace

int RunXmlCfg(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.positional[0] != "show")
    return UsageError(err, "xmlcfg", "unknown subcommand '" + args.positional[0] + "'");
  Args rest = args;
  rest.positional.erase(rest.positional.begin());
  return Show(rest, out, err);
}

}  // namespace locmodel::cli
