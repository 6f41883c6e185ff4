#include "cli/config_project.h"

#include <fstream>

#include "cli/input.h"
#include "cli/item_selector.h"
#include "locmodel/items/project_file.h"
#include "locmodel/items/res_item.h"
#include "locmodel/storage/project_database.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {

CResItem* LoadedJob::Top() const {
  return kind == JobKind::kParse ? parse.GetItem() : localize.GetItem();
}

CResItem* LoadedJob::FileItem() const {
  return kind == JobKind::kParse ? parse.GetFileItem() : localize.GetFileItem();
}

std::optional<int> OpenJobFile(const std::string& path, std::ostream& err, LoadedJob& job) {
  // Standard input and pipes are read once, whole, then probed like a file.
  std::string bytes;
  const bool streamed = IsStreamedInput(path);
  std::string error;
  if (streamed && !ReadStreamedInput(path, kMaxStreamedInput, bytes, error)) return Fail(err, error);
  const auto open = [&] {
    return streamed ? OpenInput(bytes.data(), static_cast<uint32_t>(bytes.size())) : OpenInput(path);
  };
  const std::unique_ptr<Input> head = open();
  if (!head) return std::nullopt;
  job.kind = DetectJobKind(head->Stream(), &job.scheme);
  if (job.kind == JobKind::kNone) return std::nullopt;
  const std::unique_ptr<Input> input = open();
  if (!input) return Fail(err, InputName(path) + ": cannot open file");
  const auto damage = [&] { return input->Damage(); };
  const std::u16string name = Utf8ToUtf16(InputName(path));
  const Status status = job.kind == JobKind::kParse ? LoadJob(input->Stream(), damage, name, job.parse)
                                                    : LoadJob(input->Stream(), damage, name, job.localize);
  if (!status.ok()) return Fail(err, status.ToString());
  return kOk;
}

bool IsJobFile(const std::string& path) {
  const std::unique_ptr<Input> input = OpenInput(path);
  return input && DetectJobKind(input->Stream()) != JobKind::kNone;
}

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
  if (!IsStreamedInput(project.path) && !IsProjectDatabaseFile(path)) {
    auto job = std::make_unique<LoadedJob>();
    if (const auto opened = OpenJobFile(project.path, err, *job)) {
      if (*opened != kOk) return *opened;
      // A job is what a host handed over: changes to it would reach nobody.
      if (writable) return Fail(err, project.path + ": a job file is read-only here");
      CResItem* top = job->Top();
      project.item = !top ? nullptr : text ? FindItem(*top, *selector) : job->FileItem();
      project.job = std::move(job);
      if (!project.item) return Fail(err, project.path + (text ? ": no item " + selectorText : ": the job has no file item"));
      return kOk;
    }
  }
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
