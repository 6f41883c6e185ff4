// What the configuration commands (config, project-langs) share: opening
// FILE with the item that --item selects, and writing a changed project
// back in the form it had.
#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/command.h"

class CResItem;

namespace locmodel::cli {

struct ConfigProject {
  std::string path;  // as given on the command line
  std::unique_ptr<CResItem> root;
  CResItem* item = nullptr;  // the selected item
  bool gzip = false;         // a gzip project file
};

// Loads FILE (the first positional argument: a project file, plain or gzip,
// or a project database) and finds --item (default "/"). `writable` refuses
// a database before reading it. kOk, or the exit code of the failure, whose
// line is written: a malformed selector is bad usage of `command`, one that
// matches nothing is "FILE: no item SEL".
int OpenConfigProject(const Args& args, const char* command, bool writable, std::ostream& err,
                      ConfigProject& project);

// Saves the changed project over FILE, plain or gzip as it was, replacing
// it only when the whole file is written. kOk or kFailed (reported).
int SaveConfigProject(ConfigProject& project, std::ostream& err);

}  // namespace locmodel::cli
