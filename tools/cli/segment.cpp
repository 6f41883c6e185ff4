// segment: splits texts from stdin into segments; srx: checks and
// normalizes SRX rule files.
#include <unicode/regex.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string_view>

#include "cli/command.h"
#include "cli/input.h"
#include "cli/json.h"
#include "cli/lang_common.h"
#include "cli/warnings.h"
#include "locmodel/items/res_item.h"
#include "locmodel/lang/lang_map.h"
#include "locmodel/segm/segm_util.h"
#include "locmodel/segm/srx_breaker.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// Loads `path` (standard input for "-", or a pipe) into `store`; the
// failure message when it does not load.
std::string LoadRules(const std::string& path, CSRXStore& store,
                      CSRXStore::LoadReport* report = nullptr) {
  try {
    if (IsStreamedInput(path)) {
      std::string bytes, error;
      if (!ReadStreamedInput(path, CSRXStore::MAX_FILE_SIZE, bytes, error)) return error;
      if (store.LoadFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()),
                               static_cast<int>(bytes.size()), Utf8ToUtf16(InputName(path)), report)) {
        return {};
      }
    } else if (store.Load(Utf8ToUtf16(path), report)) {
      return {};
    }
    std::string message = "'";
    return (message += InputName(path)) += "' is not a readable SRX file";
  } catch (const CSRXStore::CLoadError& error) {
    return error.what();
  }
}

std::unique_ptr<ISegmentator> MakeSegmentator(const Args& args, const CSRXStore& store, int lang) {
  const std::string* culture = args.Value("--culture");
  if (culture) return std::make_unique<CSRXBreaker>(store, Utf8ToUtf16(*culture));
  return std::make_unique<CSRXBreaker>(store, lang);
}

void Print(const std::u16string& text, const std::vector<int>& breaks, bool json, std::string& out) {
  if (json) {
    out += "{\"breaks\":[";
    for (size_t i = 0; i < breaks.size(); ++i) {
      if (i) out.push_back(',');
      out += std::to_string(breaks[i]);
    }
    out += "],\"segments\":[";
    size_t start = 0;
    for (size_t i = 0; i <= breaks.size(); ++i) {
      const size_t end = i < breaks.size() ? static_cast<size_t>(breaks[i]) : text.size();
      if (i) out += ",";
      AppendJsonString(out, std::u16string_view(text).substr(start, end - start));
      start = end;
    }
    out += "]}\n";
    return;
  }
  std::u16string split;
  size_t start = 0;
  for (int position : breaks) {
    split.append(text, start, position - start).push_back(u'\n');
    start = position;
  }
  split.append(text, start);
  out += Utf16ToUtf8(split) + "\n";
}

// Whether an ICU pattern has a "|" outside any group or set. Quoted text
// (\Q...\E), escapes and nested sets hold no alternative.
bool HasTopLevelAlternative(const std::u16string& pattern) {
  int groups = 0;
  int sets = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char16_t c = pattern[i];
    if (c == u'\\' && i + 1 < pattern.size() && pattern[i + 1] == u'Q') {
      const size_t end = pattern.find(u"\\E", i + 2);
      if (end == std::u16string::npos) return false;
      i = end + 1;
    } else if (c == u'\\') {
      ++i;
    } else if (c == u'[') {
      ++sets;
    } else if (c == u']' && sets > 0) {
      --sets;
    } else if (sets > 0) {
      continue;
    } else if (c == u'(') {
      ++groups;
    } else if (c == u')') {
      --groups;
    } else if (c == u'|' && groups == 0) {
      return true;
    }
  }
  return false;
}

// The pattern's capture groups; -1 when ICU cannot compile it.
int GroupCount(const std::u16string& pattern) {
  UErrorCode status = U_ZERO_ERROR;
  UParseError where;
  std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
      icu::UnicodeString(pattern.data(), static_cast<int32_t>(pattern.size())), 0, where, status));
  if (U_FAILURE(status) || !compiled) return -1;
  std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(status));
  return U_SUCCESS(status) && matcher ? matcher->groupCount() : -1;
}

bool HasSharedRuleNames(const CSRXStore& store) {
  std::set<std::u16string_view> names;
  for (const auto& entry : store.GetRulesLangMap()) {
    if (!names.insert(entry.first.RuleName).second) return true;
  }
  return false;
}

int RunSrxCheck(const Args& args, std::ostream& out, std::ostream& err) {
  CSRXStore store;
  CSRXStore::LoadReport report;
  if (std::string failure = LoadRules(args.positional[1], store, &report); !failure.empty()) {
    return Fail(err, failure);
  }
  std::string text = std::string("cascade: ") + (store.IsCascade() ? "yes" : "no") + "\n";
  if (!report.hasSrx20Elements) {
    text += "warning: no element is in the SRX 2.0 namespace, so nothing was read\n";
  }
  auto warnEach = [&text](const std::vector<std::u16string>& names, const char* before,
                          const char* after) {
    for (const std::u16string& name : names) text += before + Utf16ToUtf8(name) + after;
  };
  warnEach(report.missingRules, "warning: map rule name '", "' names no language rule\n");
  warnEach(report.unmappedRules, "warning: language rule '", "' is named by no map and is not read\n");
  warnEach(report.trimmedPatterns, "warning: patterns of '",
           "' lost white space at an end (use CDATA or xml:space=\"preserve\")\n");
  int errors = 0;
  const auto& entries = store.GetRulesLangMap();
  const std::set<std::u16string_view> missingRules(report.missingRules.begin(), report.missingRules.end());
  for (const auto& [map, rules] : entries) {
    text += "map " + Utf16ToUtf8(map.LangPattern) + " -> " + Utf16ToUtf8(map.RuleName) + ": " +
            std::to_string(rules.size()) + " rules\n";
    if (GroupCount(map.LangPattern) < 0) {
      text += "error: language pattern '" + Utf16ToUtf8(map.LangPattern) + "' does not compile\n";
      ++errors;
    }
    if (rules.empty() && !missingRules.contains(map.RuleName)) {
      text += "warning: language rule '" + Utf16ToUtf8(map.RuleName) + "' has no rules\n";
    }
    for (const CSRXStore::CRule& rule : rules) {
      const std::string shown = Utf16ToUtf8(rule.BeforeBreak) + " / " + Utf16ToUtf8(rule.AfterBreak);
      const int combinedGroups = GroupCount(rule.BeforeBreak + u"(" + rule.AfterBreak + u")");
      if (combinedGroups < 0) {
        text += "error: rule '" + shown + "' does not compile\n";
        ++errors;
      } else if (combinedGroups == 0) {
        text += "warning: rule '" + shown + "': the before-break pattern swallows the group that "
                "marks the break, so the rule stops at its first match\n";
      } else if (GroupCount(rule.BeforeBreak) > 0 || HasTopLevelAlternative(rule.BeforeBreak)) {
        text += "warning: rule '" + shown + "': the before-break pattern has a capturing group or a "
                "top-level alternative, so its break position is not where the after-break part begins\n";
      }
    }
  }
  if (HasSharedRuleNames(store)) text += "warning: rule names are shared by several maps\n";
  if (const std::string* lang = args.Value("--lang")) {
    const auto id = ParseLang(*lang);
    if (!id) return Fail(err, "'" + *lang + "' names no language of the language table");
    const std::u16string culture = CLangMap::Instance().GetLang(*id).cultureName;
    text += "rules for " + Utf16ToUtf8(culture) + ":\n";
    for (size_t i : store.GetMatchingEntries(culture)) {
      for (const CSRXStore::CRule& rule : entries[i].second) {
        text += std::string(rule.Break ? "  break    " : "  no-break ") + Utf16ToUtf8(rule.BeforeBreak) +
                " / " + Utf16ToUtf8(rule.AfterBreak) + "  (map " + Utf16ToUtf8(entries[i].first.LangPattern) +
                " -> " + Utf16ToUtf8(entries[i].first.RuleName) + ")\n";
      }
    }
  }
  out << text;
  return errors ? kFailed : kOk;
}

int RunSrxNormalize(const Args& args, std::ostream& out, std::ostream& err) {
  CSRXStore store;
  if (std::string failure = LoadRules(args.positional[1], store); !failure.empty()) return Fail(err, failure);
  if (!store.IsCascade()) out << "warning: cascading is off, which the saved file cannot say\n";
  if (HasSharedRuleNames(store)) out << "warning: rule names are shared; their rules will double\n";
  if (!store.Save(Utf8ToUtf16(args.positional[2]))) {
    return Fail(err, "cannot write '" + args.positional[2] + "'");
  }
  return kOk;
}

}  // namespace

int RunSegment(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string* type = args.Value("--type");
  const std::string* srx = args.Value("--srx");
  const std::string kind = type ? *type : srx || args.Has("--culture") ? "srx" : "icu";
  if (kind != "icu" && kind != "srx" && kind != "none") {
    return UsageError(err, "segment", "--type must be icu, srx or none");
  }
  if (args.Has("--lang") && args.Has("--culture")) {
    return UsageError(err, "segment", "give --lang or --culture, not both");
  }
  if (kind != "srx" && (srx || args.Has("--culture"))) {
    return UsageError(err, "segment", "--srx and --culture need --type srx");
  }
  if (srx && *srx == "-") return UsageError(err, "segment", "--srx cannot be standard input, which holds the texts");
  const std::string* langArg = args.Value("--lang");
  const auto lang = ParseLang(langArg ? *langArg : "en-US");
  if (!lang) return Fail(err, "'" + *langArg + "' names no language of the language table");

  std::unique_ptr<ISegmentator> segmentator;
  if (kind == "srx") {
    CSRXStore store;
    if (srx) {
      if (std::string failure = LoadRules(*srx, store); !failure.empty()) return Fail(err, failure);
    } else {
      CSegmUtil::InitializeDefaults();
      store = CSegmCfg::GetSRXStoreDefaultValue();
      const std::u16string installed = CSegmUtil::GetInstalledRulesPath();
      if (store.GetRulesLangMap().empty() && !installed.empty()) {
        if (std::string failure = LoadRules(Utf16ToUtf8(installed), store); !failure.empty()) {
          return Fail(err, "no default rules: " + failure);
        }
      }
    }
    segmentator = MakeSegmentator(args, store, *lang);
  } else {
    CResItem item;
    segmentator.reset(CSegmUtil::CreateSegmentator(
        kind == "icu" ? CSegmUtil::SEGM_ICU : CSegmUtil::SEGM_NONE, item, *lang));
  }

  const std::string input = ReadStdin();
  std::vector<std::string> texts;
  if (args.Has("--whole")) {
    texts.push_back(input);
  } else {
    for (size_t start = 0; start < input.size();) {
      const size_t end = std::min(input.find('\n', start), input.size());
      texts.push_back(input.substr(start, end - start));
      start = end + 1;
    }
  }
  WarningPrinter warnings(err);
  std::string text;
  for (const std::string& line : texts) {
    const std::u16string wide = Utf8ToUtf16(line);
    Print(wide, segmentator->GetBreaks(wide), args.Has("--json"), text);
  }
  out << text;
  return kOk;
}

int RunSrx(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string& action = args.positional[0];
  if (action == "check" && args.positional.size() == 2) return RunSrxCheck(args, out, err);
  if (action == "normalize" && args.positional.size() == 3 && !args.Has("--lang")) {
    return RunSrxNormalize(args, out, err);
  }
  return UsageError(err, "srx", "expected 'check FILE' or 'normalize IN OUT'");
}

}  // namespace locmodel::cli
