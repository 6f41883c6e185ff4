// dump and convert: the commands over project files.
#include <cstdlib>

#include "cli/command.h"
#include "cli/item_print.h"
#include "locmodel/items/project_file.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// Loads the project file or database named on the command line; on failure
// writes the error line and returns false. A database without items gives
// true and a null root.
bool LoadForCommand(const Args& args, std::ostream& err, std::unique_ptr<CResItem>& root) {
  const ProjectReader reader = args.Has("--sequential") ? ProjectReader::Sequential : ProjectReader::Tree;
  const Status status = LoadAnyProject(Utf8ToUtf16(args.positional[0]), root, reader);
  if (!status.ok()) Fail(err, status.ToString());
  return status.ok();
}

}  // namespace

int RunDump(const Args& args, std::ostream& out, std::ostream& err) {
  std::unique_ptr<CResItem> root;
  if (!LoadForCommand(args, err, root)) return kFailed;
  if (!root) out << (args.Has("--json") ? "{\"root\":null}\n" : "(no items)\n");
  else if (args.Has("--json")) PrintItemTreeJson(*root, out);
  else PrintItemTree(*root, out);
  return kOk;
}

int RunConvert(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  SaveOptions options;
  if (const std::string* level = args.Value("--gzip")) {
    options.gzip = true;
    if (!level->empty()) {
      char* end = nullptr;
      const long value = std::strtol(level->c_str(), &end, 10);
      if (*end != '\0' || value < 0 || value > 9)
        return UsageError(err, "convert", "--gzip takes a level from 0 to 9");
      options.level = static_cast<unsigned>(value);
    }
  }
  std::unique_ptr<CResItem> root;
  if (!LoadForCommand(args, err, root)) return kFailed;
  // A database without items becomes a project of one empty root item.
  if (!root) root = std::make_unique<CResItem>();
  const Status status = SaveProject(*root, Utf8ToUtf16(args.positional[1]), options);
  if (!status.ok()) return Fail(err, status.ToString());
  return kOk;
}

}  // namespace locmodel::cli
