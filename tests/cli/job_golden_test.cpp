// job make and job show --json on the sample project in examples/, against a
// golden output written by hand.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CliRun;
using testing_support::ReadFile;

const std::string kExamples = std::string(LOCMODEL_SOURCE_DIR) + "/examples/";

class JobGolden : public testing_support::TempDirTest {};

// The paths are given so that the job holds the same bytes on every machine;
// the languages and the culture come from the XML item's configuration.
TEST_F(JobGolden, ShowMatchesTheHandWrittenGolden) {
  const std::string job = In("strings.job");
  const CliRun make("job make " + kExamples + "cfg-project.lmp " + job +
                    " --item /1 --file-name 'C:\\prj\\res\\values\\strings.xml'"
                    " --original-file 'C:\\prj\\src\\strings.xml' --project-dir 'C:\\prj'");
  ASSERT_EQ(make.status, 0) << make.err;
  const CliRun show("job show " + job + " --json");
  EXPECT_EQ(show.status, 0) << show.err;
  EXPECT_EQ(show.err, "");
  EXPECT_EQ(show.out, ReadFile(kExamples + "cfg-project.job.json"));
}

}  // namespace
