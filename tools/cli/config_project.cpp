#include "cli/config_project.h"

#include <fstream>

#include "cli/item_selector.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

int OpenConfigProject(const Args& args, const char* command, bool writable, std::ostream& err,
                      ConfigProject& project) {
  project.path = args.positional[0];
  const std::string* text = args.Value("--item");
  const std::string selectorText = text ? *text : "/";
  const auto selector = ParseItemSelector(selectorText);
  if (!selector) return UsageError(err, command, "bad item selector '" + selectorText + "'");

  const std::u16string path = Utf8ToUtf16(project.path);
  // Databases are only ever read; a project file is what can be changed.
  if (writable && IsProjectDatabaseFile(path))
    return Fail(err, project.path + ": a project database is read-only here; 'locmodel convert' makes a project file of it");
  const Status status = LoadAnyProject(path, project.root);
  if (!status.ok()) return Fail(err, status.ToString());
  char magic[2] = {};
  std::ifstream(project.path, std::ios::binary).read(magic, 2);
  project.gzip = magic[0] == '\x1f' && magic[1] == '\x8b';

  if (project.root) project.item = FindItem(*project.root, *selector);
  if (!project.item) return Fail(err, project.path + ": no item " + selectorText);
  return kOk;
}

int SaveConfigProject(ConfigProject& project, std::ostream& err) {
  SaveOptions options;
  options.gzip = project.gzip;
  const Status status = SaveProject(*project.root, Utf8ToUtf16(project.path), options);
  return status.ok() ? kOk : Fail(err, status.ToString());
}

}  // namespace locmodel::cli
