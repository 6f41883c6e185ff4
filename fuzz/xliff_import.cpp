// An XLIFF document of any bytes imported into the sample project: a report
// or a one-line error, never a crash; a failed import changes nothing, and
// a dry run never does.
#include <sstream>

#include "cli/sample_project.h"
#include "locmodel/xliff/xliff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<CResItem> pristine = locmodel::cli::MakeSampleProject();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (bool dryRun : {true, false}) {
    auto root = locmodel::cli::MakeSampleProject();
    std::istringstream in(bytes);
    locmodel::XliffImportReport report;
    const locmodel::Status status = locmodel::ImportXliff(*root, {}, in, report, dryRun);
    if (!status.ok() && status.reason().find('\n') != std::string::npos) __builtin_trap();
    const bool same = locmodel::cli::SameTree(*root, *pristine);
    if ((dryRun || !status.ok() || report.updated == 0) && !same) __builtin_trap();
  }
  return 0;
}
