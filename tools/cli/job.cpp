// job show|make: the job files a host hands a scanner or a builder.
#include <filesystem>
#include <map>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/input.h"
#include "cli/item_print.h"
#include "cli/item_selector.h"
#include "cli/json.h"
#include "cli/lang_common.h"
#include "cli/prop_json.h"
#include "cli/value_text.h"
#include "locmodel/config/prj_config.h"
#include "locmodel/items/res_item.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/lang/lang_map.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// The configuration the file item sees: per name, the nearest holder's value.
using SeenConfig = std::map<CPropName, std::pair<const CResItem*, const CProp*>>;

SeenConfig EffectiveConfig(const CResItem* fileItem) {
  SeenConfig seen;
  for (const CResItem* at = fileItem; at; at = at->GetParent())
    for (const auto& [name, value] : at->GetCfgProps().GetPropCont()) seen.try_emplace(name, at, value);
  return seen;
}

// Why a job shows no file item.
std::string NoFileItemReason(const LoadedJob& job) {
  if (!job.Top()) return "the job holds no item";
  int chain = 0;
  for (const CResItem* at = job.Top(); !at->GetResItems().empty(); at = at->GetResItems()[0]) ++chain;
  return "file item level " + std::to_string(job.localize.fileItemLevel) + " leads nowhere (the chain is " +
         std::to_string(chain) + " levels deep)";
}

void AppendLangList(std::string& out, const CLangSet& langs) {
  out.push_back('[');
  for (auto it = langs.begin(); it != langs.end(); ++it) {
    if (it != langs.begin()) out += ',';
    out += std::to_string(*it);
  }
  out.push_back(']');
}

void ShowJson(const LoadedJob& job, std::ostream& out) {
  const bool parse = job.kind == JobKind::kParse;
  std::string json = "{\"kind\":\"";
  json += parse ? "parse" : "create-localized";
  json += "\",\"scheme\":";
  AppendJsonString(json, job.scheme.ToString());
  json += ",\"fileName\":";
  if (parse) {
    const CSerialParseFileParam& p = job.parse;
    AppendJsonString(json, p.fileName);
    json += ",\"param\":{\"parseLang\":" + std::to_string(p.parseLang) +
            ",\"nativeLang\":" + std::to_string(p.nativeLang) + ",\"projectFolder\":";
    AppendJsonString(json, p.projectFolder);
    json += ",\"originalFile\":";
    AppendJsonString(json, p.originalFile);
    json += ",\"scanForChanges\":" + std::string(p.scanForChanges ? "true" : "false") + "}";
  } else {
    const CreateLocalizedTempFile& j = job.localize;
    AppendJsonString(json, j.fileName);
    json += ",\"originalFileName\":";
    AppendJsonString(json, j.originalFileName);
    json += ",\"param\":{\"nativeLang\":" + std::to_string(j.param.nativeLang) +
            ",\"targetLang\":" + std::to_string(j.param.targetLang) + ",\"targetLangs\":";
    AppendLangList(json, j.param.targetLangs);
    json += ",\"projectDir\":";
    AppendJsonString(json, j.param.projectDir);
    json += ",\"targetCultureName\":";
    AppendJsonString(json, j.param.targetCultureName);
    json += "},\"fileItemLevel\":" + std::to_string(j.fileItemLevel);
  }
  const CResItem* fileItem = job.FileItem();
  json += ",\"fileItem\":" + (fileItem ? "\"" + PositionPath(*fileItem) + "\"" : std::string("null"));
  json += ",\"item\":";
  if (job.Top()) WriteItemJson(*job.Top(), json, out);
  else json += "null";
  json += ",\"effectiveConfig\":[";
  bool first = true;
  for (const auto& [name, seen] : EffectiveConfig(fileItem)) {
    if (!first) json.push_back(',');
    first = false;
    json += "{\"from\":\"" + PositionPath(*seen.first) + "\",\"prop\":";
    AppendPropJson(json, name, *seen.second);
    json.push_back('}');
  }
  json += "]}\n";
  out << json;
}

void ShowText(const LoadedJob& job, std::ostream& out) {
  const bool parse = job.kind == JobKind::kParse;
  std::string text = std::string("kind ") + (parse ? "parse" : "create-localized") +
                     "\nscheme " + Utf16ToUtf8(job.scheme.ToString()) + "\n";
  const auto line = [&](const char* label, const std::u16string& value) {
    text += label;
    text.push_back(' ');
    AppendJsonString(text, value);
    text.push_back('\n');
  };
  if (parse) {
    const CSerialParseFileParam& p = job.parse;
    line("fileName", p.fileName);
    text += "parseLang " + std::to_string(p.parseLang) + "\nnativeLang " + std::to_string(p.nativeLang) + "\n";
    line("projectFolder", p.projectFolder);
    line("originalFile", p.originalFile);
    text += std::string("scanForChanges ") + (p.scanForChanges ? "true" : "false") + "\n";
  } else {
    const CreateLocalizedTempFile& j = job.localize;
    line("fileName", j.fileName);
    line("originalFileName", j.originalFileName);
    text += "nativeLang " + std::to_string(j.param.nativeLang) + "\ntargetLang " +
            std::to_string(j.param.targetLang) + "\ntargetLangs ";
    AppendLangList(text, j.param.targetLangs);
    text.push_back('\n');
    line("projectDir", j.param.projectDir);
    line("targetCultureName", j.param.targetCultureName);
    text += "fileItemLevel " + std::to_string(j.fileItemLevel) + "\n";
  }
  // The chain down to the file item, then what the file item holds.
  const CResItem* fileItem = job.FileItem();
  text += "chain\n";
  for (const CResItem* at = job.Top(); at; at = at->GetResItems().empty() ? nullptr : at->GetResItems()[0]) {
    text += "  " + PositionPath(*at) + " type=" + std::to_string(at->GetType()) + " resId=";
    AppendJsonString(text, at->GetResId());
    text += at == fileItem ? "  <- file item\n" : "\n";
    if (at == fileItem) break;
  }
  text += "config\n";
  for (const auto& [name, seen] : EffectiveConfig(fileItem)) {
    text += "  " + PropNameText(name) + " = ";
    if (!AppendPropValue(text, *seen.second)) text += "null";
    text += " (" + PositionPath(*seen.first) + ")\n";
  }
  if (fileItem) text += "file item\n";
  out << text;
  if (fileItem) PrintItemTree(*fileItem, out);
}

}  // namespace

void PrintJob(const LoadedJob& job, bool json, std::ostream& out) {
  if (json) ShowJson(job, out);
  else ShowText(job, out);
}

namespace {

int Show(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& path = args.positional[1];
  LoadedJob job;
  const auto opened = OpenJobFile(path, err, job);
  if (!opened) {
    if (IsStreamedInput(path)) return Fail(err, InputName(path) + ": malformed job file: the data hold no job record");
    const std::unique_ptr<Input> input = OpenInput(path);
    if (!input) return Fail(err, path + ": cannot open file");
    // Damaged compressed data may hide the head of a job: say so.
    unsigned char rest[4096];
    while (input->Stream().read(rest, sizeof rest) > 0) {
    }
    const std::string damage = input->Damage();
    return Fail(err, path + ": malformed job file: " + (damage.empty() ? "the data hold no job record" : damage));
  }
  if (*opened != kOk) return *opened;
  PrintJob(job, args.Has("--json"), out);
  if (job.FileItem()) return kOk;
  return Fail(err, InputName(path) + ": no file item: " + NoFileItemReason(job));
}

// A LANG option, or `fallback` when it is not given; false after the usage
// error.
bool LangOption(const Args& args, const char* option, int& lang, std::ostream& err) {
  const std::string* text = args.Value(option);
  if (!text) return true;
  const auto parsed = ParseProjectLang(*text);
  if (!parsed) return UsageError(err, "job", "bad language for " + std::string(option) + ": '" + *text + "'"), false;
  lang = *parsed;
  return true;
}

std::u16string TextOption(const Args& args, const char* option, const std::u16string& fallback) {
  const std::string* text = args.Value(option);
  return text ? Utf8ToUtf16(*text) : fallback;
}

int Make(const Args& args, std::ostream& err) {
  if (args.positional.size() != 3) return UsageError(err, "job", "'job make' takes PROJECT and JOB");
  if (!args.Has("--item")) return UsageError(err, "job", "'job make' needs --item");
  if (!args.Has("--file-name")) return UsageError(err, "job", "'job make' needs --file-name");
  if (args.Has("--json")) return UsageError(err, "job", "--json belongs to 'job show'");
  const bool parse = args.Has("--parse");
  if (!parse && (args.Has("--parse-lang") || args.Has("--scan-for-changes")))
    return UsageError(err, "job", "--parse-lang and --scan-for-changes belong to --parse");

  Args rest = args;
  rest.positional = {args.positional[1]};
  ConfigProject project;
  if (const int status = OpenConfigProject(rest, "job", false, err, project); status != kOk) return status;
  CResItem& item = *project.item;

  // What a host takes from the item's configuration unless told otherwise.
  const std::u16string fileName = TextOption(args, "--file-name", u"");
  const std::u16string originalFile = TextOption(args, "--original-file", fileName);
  const std::u16string projectDir = TextOption(
      args, "--project-dir",
      Utf8ToUtf16(std::filesystem::absolute(project.path).parent_path().string()));
  int native = CPrjConfig::GetNative(item);
  if (!LangOption(args, "--native", native, err)) return kUsage;
  const std::u16string jobPath = Utf8ToUtf16(args.positional[2]);
  const JobSaveOptions options{.sync = true, .verify = true};

  Status status;
  if (parse) {
    CParseParam param(item);
    param.nativeLang = native;
    param.parseLang = native;
    if (!LangOption(args, "--parse-lang", param.parseLang, err)) return kUsage;
    param.projectFolder = projectDir;
    param.originalFile = originalFile;
    param.scanForChanges = args.Has("--scan-for-changes");
    status = CSerialParseFileParam::SaveChecked(jobPath, fileName, param, options);
  } else {
    CCreateLocalizedParam param;
    param.nativeLang = native;
    param.targetLang = CPrjConfig::GetTarget(item);
    if (!LangOption(args, "--target", param.targetLang, err)) return kUsage;
    if (const std::string* text = args.Value("--targets")) {
      for (size_t begin = 0; begin < text->size();) {
        const size_t end = std::min(text->find(',', begin), text->size());
        const auto lang = ParseProjectLang(text->substr(begin, end - begin));
        if (!lang) return UsageError(err, "job", "bad language in --targets: '" + text->substr(begin, end - begin) + "'");
        param.targetLangs.insert(*lang);
        begin = end + 1;
      }
    } else {
      param.targetLangs = CPrjConfig::GetAllOutputLangs(item, CLangId::UnrealBrand);
    }
    param.projectDir = projectDir;
    // A target that is no row of the language table (no language, an
    // unknown one) keeps the placeholder "##": its macros would name the
    // row of whatever its low bits happen to match.
    const auto& rows = CLangMap::Instance().GetLangs();
    const std::u16string culture = rows.count(CLangId(param.targetLang).GetRawLng()) && param.targetLang != CLangId::NoLang
                                       ? CLangMap::Instance().GetLangMacros(param.targetLang)[u"$(CultureName)"]
                                       : u"";
    param.targetCultureName = TextOption(args, "--culture", culture.empty() ? param.targetCultureName : culture);
    status = CreateLocalizedTempFile::SaveChecked(jobPath, fileName, originalFile, item, param, options);
  }
  return status.ok() ? kOk : Fail(err, status.ToString());
}

}  // namespace

int RunJob(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& verb = args.positional[0];
  if (verb == "make") return Make(args, err);
  if (verb != "show") return UsageError(err, "job", "unknown subcommand '" + verb + "'");
  if (args.positional.size() != 2) return UsageError(err, "job", "'job show' takes FILE");
  for (const char* option : {"--item", "--file-name", "--original-file", "--native", "--target", "--targets",
                             "--project-dir", "--culture", "--parse", "--parse-lang", "--scan-for-changes"})
    if (args.Has(option)) return UsageError(err, "job", std::string(option) + " belongs to 'job make'");
  return Show(args, out, err);
}

}  // namespace locmodel::cli
