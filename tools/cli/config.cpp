// config list|get|set|reset: the configuration properties seen at an item,
// through the catalog of every declared property.
#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/prop_json.h"
#include "cli/value_text.h"
#include "locmodel/config/format_cfg.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

constexpr int kFormat = CCustomAccessor::UNDECORATED_FORMAT;

// A declared property at the format its name chose ("12.XML.XPath": format
// 12 of an object family; static families always at kFormat).
struct Target {
  const CfgPropEntry* entry = nullptr;
  int format = kFormat;
};

// One property as the item sees it.
struct Seen {
  const CfgPropEntry* entry = nullptr;  // null for a name no accessor declares
  const CResItem* holder = nullptr;     // the nearest item holding a value
  const CProp* stored = nullptr;        // the holder's value
  int format = kFormat;

  bool Invalid() const { return entry && stored && &stored->GetClass() != entry->valueClass; }
  const CProp& Value(const CResItem& item) const { return entry ? entry->get(item, true, format) : *stored; }
  const char* Source(const CResItem& item) const {
    return !holder ? "default" : Invalid() ? "invalid" : holder == &item ? "own" : "inherited";
  }
};

Seen Look(const CResItem& item, const CPropName& name, Target target) {
  Seen seen{target.entry};
  seen.format = target.format;
  for (const CResItem* at = &item; at && !seen.stored; at = at->GetParent()) {
    seen.stored = at->GetCfgProps().GetPropW(name);
    if (seen.stored) seen.holder = at;
  }
  return seen;
}

// The declared property stored as `name`: a name as declared, or F.BASE
// with F a format other than kFormat written as "%d" writes it and BASE a
// base name of an object family. Anything else is undeclared.
Target FindEntry(const CPropName& name) {
  for (const CfgPropEntry* entry : CfgCatalog::Entries())
    if (entry->name(kFormat) == name) return {entry, kFormat};
  if (!name.IsStr()) return {};
  const std::string text = Utf16ToUtf8(name.GetStr());
  const size_t dot = text.find('.');
  if (dot == std::string::npos) return {};
  const std::optional<int> format = ParseInt32(text.substr(0, dot));
  if (!format || *format == kFormat || std::to_string(*format) != text.substr(0, dot)) return {};
  const CPropName base(name.GetStr().substr(dot + 1));
  for (const CfgPropEntry* entry : CfgCatalog::Entries())
    if (entry->perFormat && entry->baseName() == base) return {entry, *format};
  return {};
}

// "CXmlParserCfg(12)::XPathTemplate"; the format only when it decorates.
std::string AccessorText(const Target& target) {
  std::string text(target.entry->family);
  if (target.format != kFormat) text += "(" + std::to_string(target.format) + ")";
  return text + "::" + std::string(target.entry->accessor);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The property NAME declares; no entry after reporting an unknown name.
Target DeclaredEntry(const std::string& text, std::ostream& err) {
  if (const Target target = FindEntry(ParsePropName(text)); target.entry) return target;
  std::string message = "unknown configuration property: " + text;
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    const std::string declared = PropNameText(entry->name(kFormat));
    if (Lower(declared) == Lower(text)) {
      message += "; did you mean " + declared + "?";
      break;
    }
  }
  Fail(err, message);
  return {};
}

void WarnInvalid(const std::string& name, const Seen& seen, std::ostream& err) {
  err << "locmodel: warning: " << name << " at " << PositionPath(*seen.holder) << " holds a "
      << seen.stored->GetClass().GetTypeName() << ", not a " << seen.entry->valueClass->GetTypeName()
      << "; the default is shown\n";
}

// Whether `property` is a secret that the text listing does not print.
bool Masked(const Seen& property, const CProp& value) {
  return property.entry && property.entry->baseName() == CNetBinOutCfg::PFXPasswordPropName() &&
         !value.GetStr().empty();
}

// `formats`: the --format values. Object families are listed at each of
// them, at kFormat, and at every format a name stored on the path uses.
int List(const ConfigProject& project, const std::set<int>& formats, bool json, std::ostream& out) {
  const CResItem& item = *project.item;
  std::map<std::string_view, std::set<int>> familyFormats;
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    if (!entry->perFormat) continue;
    std::set<int>& at = familyFormats[entry->family];
    at.insert(kFormat);
    at.insert(formats.begin(), formats.end());
  }
  for (const CResItem* at = &item; at; at = at->GetParent())
    for (const auto& [name, value] : at->GetCfgProps().GetPropCont())
      if (const Target target = FindEntry(name); target.entry && target.entry->perFormat)
        familyFormats[target.entry->family].insert(target.format);

  // Declared names first, then what the path holds beyond them; the
  // nearest holder of each name wins.
  std::map<CPropName, Seen> seen;
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    const std::set<int> only{kFormat};
    for (int format : entry->perFormat ? familyFormats[entry->family] : only) {
      const CPropName name = entry->name(format);
      seen.emplace(name, Look(item, name, {entry, format}));
    }
  }
  for (const CResItem* at = &item; at; at = at->GetParent())
    for (const auto& [name, value] : at->GetCfgProps().GetPropCont()) seen.try_emplace(name, Seen{nullptr, at, value});

  std::string text;
  if (json) text = "{\"item\":\"" + PositionPath(item) + "\",\"properties\":[";
  bool first = true;
  for (const auto& [name, property] : seen) {
    const CProp& value = property.Value(item);
    const char* source = property.Source(item);
    if (!json) {
      text += PropNameText(name) + " = ";
      if (Masked(property, value)) text += "(set)";
      else if (!AppendPropValue(text, value)) text += "null";
      text += " (" + std::string(source);
      if (property.Invalid()) text += ": " + std::string(property.stored->GetClass().GetTypeName()) + " at";
      else if (property.holder && property.holder != &item) text += " from";
      if (property.holder && (property.holder != &item || property.Invalid()))
        text += " " + PositionPath(*property.holder);
      text += ")\n";
      continue;
    }
    if (!first) text.push_back(',');
    first = false;
    text += "{\"name\":";
    AppendJsonString(text, Utf8ToUtf16(PropNameText(name)));
    text += ",\"accessor\":";
    if (property.entry)
      text += "\"" + AccessorText({property.entry, property.format}) + "\"";
    else text += "null";
    const CPropClass& valueClass = property.entry ? *property.entry->valueClass : property.stored->GetClass();
    text += ",\"class\":\"" + std::string(valueClass.GetTypeName()) + "\",\"value\":";
    if (!AppendPropValue(text, value)) text += "null";
    text += ",\"source\":\"" + std::string(source) + "\",\"from\":";
    text += property.holder ? "\"" + PositionPath(*property.holder) + "\"" : "null";
    if (property.Invalid())
      text += ",\"storedClass\":\"" + std::string(property.stored->GetClass().GetTypeName()) + "\"";
    text.push_back('}');
  }
  if (json) text += "]}\n";
  out << text;
  return kOk;
}

}  // namespace

int RunConfig(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& verb = args.positional[0];
  // Positional arguments after the verb: FILE, NAME, VALUE.
  const std::map<std::string, size_t> arity = {{"list", 1}, {"get", 2}, {"set", 3}, {"reset", 2}};
  const auto found = arity.find(verb);
  if (found == arity.end()) return UsageError(err, "config", "unknown subcommand '" + verb + "'");
  if (args.positional.size() != found->second + 1)
    return UsageError(err, "config", "'config " + verb + "' takes " + std::to_string(found->second) + " argument(s)");
  if (args.Has("--json") && verb != "list") return UsageError(err, "config", "--json belongs to 'config list'");

  Args rest = args;
  rest.positional.erase(rest.positional.begin());
  const bool writes = verb == "set" || verb == "reset";
  if (args.Has("--format") && verb != "list") return UsageError(err, "config", "--format belongs to 'config list'");
  std::set<int> formats;
  for (const auto& [option, text] : args.options) {
    if (option != "--format") continue;
    const std::optional<int> format = ParseInt32(text);
    if (!format) return UsageError(err, "config", "--format takes a 32-bit format number, not '" + text + "'");
    formats.insert(*format);
  }
  Target target;
  if (verb != "list" && !(target = DeclaredEntry(rest.positional[1], err)).entry) return kFailed;
  const CfgPropEntry* entry = target.entry;
  const int format = target.format;
  std::unique_ptr<CProp> value;
  if (verb == "set") {
    std::string reason;
    value = ParseValueText(*entry->valueClass, rest.positional[2], reason);
    if (!value) return Fail(err, PropNameText(entry->name(format)) + ": invalid value: " + reason);
  }

  ConfigProject project;
  if (const int status = OpenConfigProject(rest, "config", writes, err, project); status != kOk) return status;
  CResItem& item = *project.item;
  if (verb == "list") return List(project, formats, args.Has("--json"), out);

  const CPropName name = entry->name(format);
  if (verb == "get") {
    const Seen seen = Look(item, name, target);
    if (seen.Invalid()) WarnInvalid(PropNameText(name), seen, err);
    std::string text;
    AppendValueText(text, entry->get(item, true, format));
    out << text << "\n";
    return kOk;
  }
  if (verb == "set") {
    if (entry->get(item, true, format).IsEqual(*value)) return out << "unchanged\n", kOk;
    entry->set(item, *value, format);
  } else {
    if (!entry->has(item, format)) return out << "unchanged\n", kOk;
    entry->reset(item, format);
  }
  if (const int status = SaveConfigProject(project, err); status != kOk) return status;
  out << (verb == "set" ? "stored\n" : "removed\n");
  return kOk;
}

}  // namespace locmodel::cli
