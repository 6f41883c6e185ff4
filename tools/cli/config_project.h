// What the configuration commands (config, project-langs, job) share:
// opening FILE (a project or a job file) with the item that --item selects,
// and writing a changed project back in the form it had.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "locmodel/config/job_params.h"
#include "locmodel/serial/version_info.h"

class CResItem;

namespace locmodel::cli {

// A job file as read: one of the two records, by kind.
struct LoadedJob {
  JobKind kind = JobKind::kNone;
  Serial::VersionInfo scheme = Serial::UNDEFINED_SCHEME_VERSION;
  CreateLocalizedTempFile localize;
  CSerialParseFileParam parse;
  // The top of the item chain, and the file item; either may be null.
  CResItem* Top() const;
  CResItem* FileItem() const;
};

// Reads FILE ("-" for standard input) when its content is a job; nullopt,
// having read nothing that matters, when it is not. Otherwise kOk, or
// kFailed after "FILE: malformed job file: ..." or "... incomplete job
// file: ...".
std::optional<int> OpenJobFile(const std::string& path, std::ostream& err, LoadedJob& job);

// Whether the file at `path` (not standard input) holds a job, by content.
bool IsJobFile(const std::string& path);

// What 'job show' prints for a loaded job: text, or the JSON document.
void PrintJob(const LoadedJob& job, bool json, std::ostream& out);

struct ConfigProject {
  std::string path;  // as given on the command line
  std::unique_ptr<CResItem> root;  // a project's tree
  std::unique_ptr<LoadedJob> job;  // or a job's records
  CResItem* item = nullptr;  // the selected item
  bool gzip = false;         // a gzip project file
};

// Loads FILE (the first positional argument: a project file, plain or gzip,
// a project database or a job file) and finds --item: default "/" in a
// project, the file item in a job, where "/" is the top of the chain.
// `writable` refuses a database or a job before reading it. kOk, or the exit code of the failure, whose
// line is written: a malformed selector is bad usage of `command`, one that
// matches nothing is "FILE: no item SEL".
int OpenConfigProject(const Args& args, const char* command, bool writable, std::ostream& err,
                      ConfigProject& project);

// Saves the changed project over FILE, plain or gzip as it was, replacing
// it only when the whole file is written. kOk or kFailed (reported).
int SaveConfigProject(ConfigProject& project, std::ostream& err);

}  // namespace locmodel::cli
