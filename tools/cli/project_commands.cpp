// dump and convert: the commands over project files.
#include "cli/command.h"
#include "cli/input.h"
#include "cli/item_print.h"
#include "cli/progress.h"
#include "cli/project_output.h"
#include "locmodel/config/job_params.h"
#include "locmodel/items/project_file.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"
#include "storage/file_probe.h"

namespace locmodel::cli {
namespace {

// A job file reads as a project whose root holds none of an item's members:
// shown or converted, it would look like an empty project and the job would
// be lost.
bool IsJob(const std::unique_ptr<Input>& input) {
  return input && DetectJobKind(input->Stream()) != JobKind::kNone;
}
bool RefuseJob(const std::string& path, std::ostream& err) {
  Fail(err, InputName(path) + ": a job file, not a project; 'locmodel job show' reads it");
  return false;
}

// Loads the project file or database named on the command line (standard
// input for "-"); on failure writes the error line and returns false. A
// database without items gives true and a null root.
bool LoadForCommand(const Args& args, ProgressLine& progress, std::ostream& err,
                    std::unique_ptr<CResItem>& root) {
  const std::string& path = args.positional[0];
  LoadOptions options;
  options.reader = args.Has("--sequential") ? ProjectReader::Sequential : ProjectReader::Tree;
  options.progress = progress.Callback();
  progress.Stage("reading " + InputName(path), ProgressLine::Unit::kBytes);
  Status status;
  if (IsStreamedInput(path)) {
    std::string bytes, error;
    if (!ReadStreamedInput(path, kMaxStreamedInput, bytes, error)) {
      Fail(err, error);
      return false;
    }
    // The database engine reads files it can seek in, never a stream.
    if (storage::IsDatabase(storage::ProbeBytes(bytes.data(), bytes.size()))) {
      Fail(err, InputName(path) + ": a project database is read from a file, not a pipe");
      return false;
    }
    if (IsJob(OpenInput(bytes.data(), static_cast<uint32_t>(bytes.size())))) return RefuseJob(path, err);
    status = LoadProjectFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                   root, options, Utf8ToUtf16(InputName(path)));
  } else if (IsProjectDatabaseFile(Utf8ToUtf16(path))) {
    status = LoadAnyProject(Utf8ToUtf16(path), root, options.reader);
  } else if (IsJob(OpenInput(path))) {
    return RefuseJob(path, err);
  } else {
    status = LoadProject(Utf8ToUtf16(path), root, options);
  }
  progress.Finish();
  if (!status.ok()) Fail(err, status.ToString());
  return status.ok();
}

}  // namespace

int RunDump(const Args& args, std::ostream& out, std::ostream& err) {
  if (const int usage = CheckProgressOptions("dump", args, err)) return usage;
  std::unique_ptr<CResItem> root;
  ProgressLine progress(args, err);
  if (!LoadForCommand(args, progress, err, root)) return kFailed;
  if (!root) out << (args.Has("--json") ? "{\"root\":null}\n" : "(no items)\n");
  else if (args.Has("--json")) PrintItemTreeJson(*root, out);
  else PrintItemTree(*root, out);
  return kOk;
}

int RunConvert(const Args& args, std::ostream& /*out*/, std::ostream& err) {
  if (const int usage = CheckProgressOptions("convert", args, err)) return usage;
  const std::string& target = args.positional[1];
  if (const int usage = CheckProjectTarget("convert", target, err)) return usage;
  SaveOptions options;
  if (const int usage = ReadGzipOption("convert", args, options, err)) return usage;
  std::unique_ptr<CResItem> root;
  ProgressLine progress(args, err);
  if (!LoadForCommand(args, progress, err, root)) return kFailed;
  // A database without items becomes a project of one empty root item.
  if (!root) root = std::make_unique<CResItem>();
  progress.Stage("writing " + target, ProgressLine::Unit::kBytes);
  options.progress = progress.Callback();
  const Status status = SaveProject(*root, Utf8ToUtf16(target), options);
  progress.Finish();
  if (!status.ok()) return Fail(err, status.ToString());
  return kOk;
}

}  // namespace locmodel::cli
