// What the commands that write a project file (convert, migrate) share: the
// checks of OUT and the save options their --gzip asks for.
#pragma once

#include <ostream>
#include <string>

#include "cli/command.h"
#include "locmodel/items/project_file.h"

namespace locmodel::cli {

// kOk when `target` can name a project file; otherwise the usage error of
// `command` on `err` and kUsage: standard output is no file to rename into
// place, and a database name would hide a project file under the wrong kind.
int CheckProjectTarget(const char* command, const std::string& target, std::ostream& err);

// Fills `options` from --gzip[=LEVEL] (level 0-9, the library's default
// when none is given). kOk, or the usage error of `command` and kUsage.
int ReadGzipOption(const char* command, const Args& args, SaveOptions& options, std::ostream& err);

}  // namespace locmodel::cli
