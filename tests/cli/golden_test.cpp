// The commands' outputs on the shipped examples against goldens written by
// hand.
#include <gtest/gtest.h>

#include "cli/sample_project.h"
#include "locmodel/items/project_file.h"
#include "support/temp_dir.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

using namespace testing_support;

const std::string kExamples = LOCMODEL_SOURCE_DIR "/examples/";
const std::string kJobs = LOCMODEL_SOURCE_DIR "/tests/fixtures/jobs/";
const std::string kSample = kExamples + "sample-project.lmp";
const std::string kCfgProject = kExamples + "cfg-project.lmp";

class Goldens : public TempDirTest {};

TEST_F(Goldens, OutputsMatchTheHandWrittenGoldens) {
  const std::string job = In("job"), sample = ReadFile(kSample);
  using Args = std::vector<std::string>;
  const Args showJob{"job", "show", job, "--json"};
  Args sampleJob{"job", "make", kSample, job, "--item", "/0/0", "--file-name", "main.rc", "--project-dir", "C:\\prj"};
  Args parseJob = sampleJob;
  parseJob.insert(parseJob.end(), {"--parse", "--parse-lang", "de-DE", "--original-file", "C:\\src\\main.rc",
                                   "--scan-for-changes"});
  const struct {
    Args make;  // run first where given
    Args args;
    std::string golden;
  } cases[] = {
      {{}, {"dbcfg", "expand", kCfgProject, "--item", "/0", "--json"}, kExamples + "cfg-project.dbcfg.json"},
      {{}, {"xmlcfg", "show", kCfgProject, "--format", "12", "--item", "/1", "--json"}, kExamples + "cfg-project.xmlcfg.json"},
      // The paths are given so that the job holds the same bytes on every
      // machine; the languages and the culture come from the XML item's
      // configuration.
      {{"job", "make", kCfgProject, job, "--item", "/1", "--file-name", "C:\\prj\\res\\values\\strings.xml",
        "--original-file", "C:\\prj\\src\\strings.xml", "--project-dir", "C:\\prj"},
       showJob, kExamples + "cfg-project.job.json"},
      {sampleJob, showJob, kJobs + "sample-localize.json"},
      {parseJob, showJob, kJobs + "sample-parse.json"},
      {{}, {"dump-stream", kExamples + "project-stream.bin", "--json"}, kExamples + "project-stream.bin.json"},
      {{}, {"dump-stream", kExamples + "project-stream.gz", "--json"}, kExamples + "project-stream.gz.json"},
      {{}, {"dump", kSample, "--json"}, kExamples + "sample-project.json"},
      {{}, {"dump", kSample, "--json", "--sequential"}, kExamples + "sample-project.json"},
      {{}, {"dump", kSample + ".gz", "--json"}, kExamples + "sample-project.json"},
      {{}, {"dump", kSample + ".gz", "--json", "--sequential"}, kExamples + "sample-project.json"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    if (!c.make.empty()) {
      ASSERT_EQ(RunTool(c.make).status, 0);
    }
    const ToolRun run = RunTool(c.args);
    EXPECT_EQ(std::tuple(run.status, run.err), std::tuple(0, ""));
    EXPECT_EQ(run.out, ReadFile(c.golden));
  }
  EXPECT_EQ(ReadFile(kSample), sample);
  // The shipped file is what this version writes for the sample.
  const auto bytes = locmodel::SaveProjectToMemory(*locmodel::cli::MakeSampleProject());
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), sample);
  // The text forms of the same.
  ExpectRuns({
      {{"dump-stream", kExamples + "project-stream.bin"}, 0, Holds("node \"Root\"\n  field [4] 01 00 00 00  = 1\n")},
      {{"dump", kSample}, 0, Holds("      item /0/0/0 type=10 resId=\"#101\"")},
  });
}

}  // namespace
