// hhp write: one HTML Help project held in a project, written as an .hhp
// file through the library's writer.
#include <functional>

#include "cli/command.h"
#include "cli/config_project.h"
#include "cli/item_selector.h"
#include "cli/value_text.h"
#include "locmodel/hhp/hhp_writer.h"
#include "locmodel/items/res_item.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

constexpr const char* kName = "hhp";

// A CHhpInfoProp held on an item, own or configuration.
struct Found {
  const CResItem* item;
  CPropName name;
  bool cfg;
  const CHhpInfoProp* value;
};

void Collect(const CResItem& item, const CPropName* only, bool subtree, std::vector<Found>& found) {
  for (bool cfg : {false, true}) {
    const CPropContainer& props = cfg ? item.GetCfgProps() : item;
    for (const auto& [name, value] : props.GetPropCont()) {
      const auto* hhp = dynamic_cast<const CHhpInfoProp*>(value);
      if (hhp && (!only || name == *only)) found.push_back({&item, name, cfg, hhp});
    }
  }
  if (subtree)
    for (const CResItem* child : item.GetResItems()) Collect(*child, only, true, found);
}

}  // namespace

int RunHhp(const Args& args, std::ostream& out, std::ostream& err) {
  if (args.positional[0] != "write") return UsageError(err, kName, "unknown subcommand '" + args.positional[0] + "'");
  Args project = args;  // FILE [OUT] after the subcommand
  project.positional.erase(project.positional.begin());

  HhpWriteOptions options;
  options.crlf = args.Has("--crlf");
  if (const std::string* encoding = args.Value("--encoding")) {
    if (encoding->empty()) return UsageError(err, kName, "--encoding needs a name");
    if (*encoding == "ansi") options.encoding = CEncoding::SelectAnsiByLang;
    else options.encoding = CEncoding(Utf8ToUtf16(*encoding));
  }
  std::optional<CPropName> only;
  if (const std::string* name = args.Value("--prop")) only = ParsePropName(*name);

  ConfigProject opened;
  if (const int status = OpenConfigProject(project, kName, false, err, opened); status != kOk) return status;
  // Without --item every item is searched.
  std::vector<Found> found;
  Collect(*opened.item, only ? &*only : nullptr, !args.Has("--item"), found);
  if (found.empty()) return Fail(err, opened.path + ": no HhpInfoProp value");
  if (found.size() > 1) {
    err << "locmodel: " << opened.path << ": " << found.size()
        << " HhpInfoProp values; choose one with --item and --prop:\n";
    for (const Found& f : found)
      err << "  --item " << PositionPath(*f.item) << " --prop " << PropNameText(f.name)
          << (f.cfg ? " (configuration)\n" : "\n");
    return kUsage;
  }

  CHhpInfo info = *found.front().value;
  if (args.Has("--init-skipped")) info.InitSkippedFields();
  std::string bytes;
  Status status = EncodeHhp(info, options, bytes);
  if (status.ok() && project.positional.size() > 1)
    status = WriteHhpFile(info, Utf8ToUtf16(project.positional[1]), options);
  if (status.kind() == Status::Kind::kBadArgument) return UsageError(err, kName, status.reason());
  if (!status.ok()) {
    const std::u16string& path = status.path();
    return Fail(err, (path.empty() ? opened.path : Utf16ToUtf8(path)) + ": " + status.reason());
  }
  if (project.positional.size() == 1) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return kOk;
}

}  // namespace locmodel::cli
