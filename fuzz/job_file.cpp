// Arbitrary bytes read as a job of either kind and, when they load, shown as
// 'job show --json' and as text shows them: a half-read chain, a level that
// leads nowhere or a null item must come out as a clean document.
#include <sstream>

#include "cli/config_project.h"
#include "cli/input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using locmodel::JobKind;
  if (size > UINT32_MAX) return 0;
  for (JobKind kind : {JobKind::kCreateLocalized, JobKind::kParse}) {
    locmodel::cli::LoadedJob job;
    job.kind = kind;
    const auto input = locmodel::cli::OpenInput(data, static_cast<uint32_t>(size));
    const auto damage = [&] { return input->Damage(); };
    const locmodel::Status status =
        kind == JobKind::kParse ? locmodel::LoadJob(input->Stream(), damage, u"fuzz", job.parse)
                                : locmodel::LoadJob(input->Stream(), damage, u"fuzz", job.localize);
    if (!status.ok()) continue;
    std::ostringstream json, text;
    locmodel::cli::PrintJob(job, true, json);
    locmodel::cli::PrintJob(job, false, text);
  }
  return 0;
}
