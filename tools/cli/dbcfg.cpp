// dbcfg expand: what a database builder would use at an item, for every
// table and language: the language column and its value, and the columns
// that hold the translation.
#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/lang_common.h"
#include "locmodel/config/db_cfg.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/items/res_item.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// The languages to expand: --lang in the order given, else the item's
// output languages; false after reporting.
int Languages(const Args& args, const ConfigProject& project, std::vector<int>& langs, std::ostream& err) {
  for (const auto& [name, value] : args.options) {
    if (name != "--lang") continue;
    const auto lang = ParseProjectLang(value);
    if (!lang) return UsageError(err, "dbcfg", "bad language '" + value + "'");
    langs.push_back(*lang);
  }
  if (!langs.empty()) return kOk;
  const CResItem& item = *project.item;
  const unsigned long long bound = OutputBound(item, CLangId::UnrealBrand);
  if (bound > kMaxOutputLangs)
    return Fail(err, project.path + ": too many output languages (" + std::to_string(bound) + "); give --lang");
  const CLangSet output = CPrjConfig::GetAllOutputLangs(item, CLangId::UnrealBrand);
  langs.assign(output.begin(), output.end());
  if (langs.empty()) return Fail(err, project.path + ": no output languages at " + PositionPath(item) + "; give --lang");
  return kOk;
}

void AppendText(std::string& out, const std::u16string& text, bool json) {
  if (json) AppendJsonString(out, text);
  else out += Utf16ToUtf8(text);
}

void AppendList(std::string& out, const std::vector<std::u16string>& list, bool json) {
  if (json) out.push_back('[');
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) out += json ? "," : ", ";
    AppendText(out, list[i], json);
  }
  if (json) out.push_back(']');
}

// One language of one table: {"lang":N,"langField":S|null,"langValue":S|null,"fields":[S,...]}.
void AppendExpansion(std::string& out, const CDBTableCfg& table, int lang, bool json) {
  const bool langId = table.SchemeId == CDBTableCfg::LANG_ID_SCHEME;
  const CLangIdSchemeCfg& scheme = table.LangIdSchemeCfg;
  if (!json) {
    out += "  " + std::to_string(lang);
    if (langId) out += " " + Utf16ToUtf8(scheme.LangIdField) + "=" + Utf16ToUtf8(scheme.GetValueByLang(lang));
    out += " fields ";
    AppendList(out, table.GetLocFields(lang), false);
    out += "\n";
    return;
  }
  out += "{\"lang\":" + std::to_string(lang) + ",\"langField\":";
  if (langId) AppendJsonString(out, scheme.LangIdField);
  else out += "null";
  out += ",\"langValue\":";
  if (langId) AppendJsonString(out, scheme.GetValueByLang(lang));
  else out += "null";
  out += ",\"fields\":";
  AppendList(out, table.GetLocFields(lang), true);
  out.push_back('}');
}

void AppendTable(std::string& out, const CDBTableCfg& table, const std::vector<int>& langs, bool json) {
  const std::string scheme = std::to_string(static_cast<uint32_t>(table.SchemeId));
  if (json) {
    out += "{\"name\":";
    AppendJsonString(out, table.TableName);
    out += ",\"scheme\":" + scheme + ",\"keyFields\":[";
    for (size_t i = 0; i < table.KeyFields.size(); ++i) {
      if (i) out.push_back(',');
      out += "{\"name\":";
      AppendJsonString(out, table.KeyFields[i].name);
      out += table.KeyFields[i].group ? ",\"group\":true}" : ",\"group\":false}";
    }
    out += "],\"where\":";
    AppendJsonString(out, table.WhereCond);
    out += ",\"langs\":[";
  } else {
    out += "table " + Utf16ToUtf8(table.TableName) + " scheme " + scheme + " keys ";
    for (size_t i = 0; i < table.KeyFields.size(); ++i)
      out += (i ? ", " : "") + Utf16ToUtf8(table.KeyFields[i].name) + (table.KeyFields[i].group ? " (group)" : "");
    if (!table.WhereCond.empty()) out += " where " + Utf16ToUtf8(table.WhereCond);
    out += "\n";
  }
  for (size_t i = 0; i < langs.size(); ++i) {
    if (json && i) out.push_back(',');
    AppendExpansion(out, table, langs[i], json);
  }
  if (json) out += "]}";
}

int Expand(const Args& args, std::ostream& out, std::ostream& err) {
  ConfigProject project;
  if (const int status = OpenConfigProject(args, "dbcfg", false, err, project); status != kOk) return status;
  std::vector<int> langs;
  if (const int status = Languages(args, project, langs, err); status != kOk) return status;

  const CResItem& item = *project.item;
  const bool json = args.Has("--json");
  const CDBTablesCfg& tables = CDBCfg::GetTables(item, true);
  std::string text;
  if (json) {
    text += "{\"item\":\"" + PositionPath(item) + "\",\"connectionString\":";
    AppendJsonString(text, CDBCfg::GetODBCConnectionString(item, true));
    text += ",\"sourceName\":";
    AppendJsonString(text, CDBCfg::GetSourceName(item, true));
    text += CDBCfg::GetSQLMonitor(item, true) ? ",\"sqlMonitor\":true" : ",\"sqlMonitor\":false";
    text += ",\"langs\":[";
    for (size_t i = 0; i < langs.size(); ++i) text += (i ? "," : "") + std::to_string(langs[i]);
    text += "],\"tables\":[";
  } else {
    text += "item " + PositionPath(item) + "\nconnection " + Utf16ToUtf8(CDBCfg::GetODBCConnectionString(item, true)) +
            "\nsource " + Utf16ToUtf8(CDBCfg::GetSourceName(item, true)) + "\nsql-monitor " +
            (CDBCfg::GetSQLMonitor(item, true) ? "true" : "false") + "\n";
  }
  for (size_t i = 0; i < tables.size(); ++i) {
    if (json && i) text.push_back(',');
    AppendTable(text, tables[i], langs, json);
  }
  if (json) text += "]}\n";
  out << text;
  return kOk;
}

}  // namespace

int RunDbCfg(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.positional[0] != "expand")
    return UsageError(err, "dbcfg", "unknown subcommand '" + args.positional[0] + "'");
  Args rest = args;
  rest.positional.erase(rest.positional.begin());
  return Expand(rest, out, err);
}

}  // namespace locmodel::cli
