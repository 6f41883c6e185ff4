// config list|get|set|reset: the configuration properties seen at an item,
// through the catalog of every declared property.
#include <algorithm>
#include <cctype>
#include <map>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/prop_json.h"
#include "cli/value_text.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// Object families are listed with undecorated names until per-format
// names reach the command line.
constexpr int kFormat = CCustomAccessor::UNDECORATED_FORMAT;

// One property as the item sees it.
struct Seen {
  const CfgPropEntry* entry = nullptr;  // null for a name no accessor declares
  const CResItem* holder = nullptr;     // the nearest item holding a value
  const CProp* stored = nullptr;        // the holder's value

  bool Invalid() const { return entry && stored && &stored->GetClass() != entry->valueClass; }
  const CProp& Value(const CResItem& item) const { return entry ? entry->get(item, true, kFormat) : *stored; }
  const char* Source(const CResItem& item) const {
    return !holder ? "default" : Invalid() ? "invalid" : holder == &item ? "own" : "inherited";
  }
};

Seen Look(const CResItem& item, const CPropName& name, const CfgPropEntry* entry) {
  Seen seen{entry};
  for (const CResItem* at = &item; at && !seen.stored; at = at->GetParent()) {
    seen.stored = at->GetCfgProps().GetPropW(name);
    if (seen.stored) seen.holder = at;
  }
  return seen;
}

const CfgPropEntry* FindEntry(const CPropName& name) {
  for (const CfgPropEntry* entry : CfgCatalog::Entries())
    if (entry->name(kFormat) == name) return entry;
  return nullptr;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The entry NAME declares; null after reporting an unknown name.
const CfgPropEntry* DeclaredEntry(const std::string& text, std::ostream& err) {
  if (const CfgPropEntry* entry = FindEntry(ParsePropName(text))) return entry;
  std::string message = "unknown configuration property: " + text;
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    const std::string declared = PropNameText(entry->name(kFormat));
    if (Lower(declared) == Lower(text)) {
      message += "; did you mean " + declared + "?";
      break;
    }
  }
  Fail(err, message);
  return nullptr;
}

void WarnInvalid(const std::string& name, const Seen& seen, std::ostream& err) {
  err << "locmodel: warning: " << name << " at " << PositionPath(*seen.holder) << " holds a "
      << seen.stored->GetClass().GetTypeName() << ", not a " << seen.entry->valueClass->GetTypeName()
      << "; the default is shown\n";
}

int List(const ConfigProject& project, bool json, std::ostream& out) {
  const CResItem& item = *project.item;
  // Declared names first, then what the path holds beyond them; the
  // nearest holder of each name wins.
  std::map<CPropName, Seen> seen;
  for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
    const CPropName name = entry->name(kFormat);
    seen.emplace(name, Look(item, name, entry));
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
      if (!AppendPropValue(text, value)) text += "null";
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
      text += "\"" + std::string(property.entry->family) + "::" + std::string(property.entry->accessor) + "\"";
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
  const CfgPropEntry* entry = nullptr;
  if (verb != "list" && !(entry = DeclaredEntry(rest.positional[1], err))) return kFailed;
  std::unique_ptr<CProp> value;
  if (verb == "set") {
    std::string reason;
    value = ParseValueText(*entry->valueClass, rest.positional[2], reason);
    if (!value) return Fail(err, PropNameText(entry->name(kFormat)) + ": invalid value: " + reason);
  }

  ConfigProject project;
  if (const int status = OpenConfigProject(rest, "config", writes, err, project); status != kOk) return status;
  CResItem& item = *project.item;
  if (verb == "list") return List(project, args.Has("--json"), out);

  const CPropName name = entry->name(kFormat);
  if (verb == "get") {
    const Seen seen = Look(item, name, entry);
    if (seen.Invalid()) WarnInvalid(PropNameText(name), seen, err);
    std::string text;
    AppendValueText(text, entry->get(item, true, kFormat));
    out << text << "\n";
    return kOk;
  }
  if (verb == "set") {
    if (entry->get(item, true, kFormat).IsEqual(*value)) return out << "unchanged\n", kOk;
    entry->set(item, *value, kFormat);
  } else {
    if (!entry->has(item, kFormat)) return out << "unchanged\n", kOk;
    entry->reset(item, kFormat);
  }
  if (const int status = SaveConfigProject(project, err); status != kOk) return status;
  out << (verb == "set" ? "stored\n" : "removed\n");
  return kOk;
}

}  // namespace locmodel::cli
