#include <gtest/gtest.h>

#include <filesystem>

#include "cli/sample_project.h"
#include "locmodel/items/project_file.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

class ProjectCommands : public TempDirTest {
 protected:
  const fs::path examples_ = fs::path(LOCMODEL_SOURCE_DIR) / "examples";
};

TEST_F(ProjectCommands, DumpJsonOfTheShippedSampleIsExact) {
  const std::string expected = ReadFile(examples_ / "sample-project.json");
  for (const char* file : {"sample-project.lmp", "sample-project.lmp.gz"}) {
    for (const char* reader : {"--json", "--sequential"}) {
      const ToolRun run = RunTool({"dump", (examples_ / file).string(), "--json", reader});
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out, expected) << file << reader;
    }
  }
  // The shipped file is what this version writes for the sample.
  auto sample = locmodel::cli::MakeSampleProject();
  const auto bytes = locmodel::SaveProjectToMemory(*sample);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), ReadFile(examples_ / "sample-project.lmp"));

  const ToolRun text = RunTool({"dump", (examples_ / "sample-project.lmp").string()});
  EXPECT_NE(text.out.find("      item /0/0/0 type=10 resId=\"#101\""), std::string::npos) << text.out;
}

TEST_F(ProjectCommands, ConvertReproducesTheBytesOfThisVersion) {
  const std::string plain = ReadFile(examples_ / "sample-project.lmp");
  ASSERT_EQ(RunTool({"convert", (examples_ / "sample-project.lmp").string(), In("a.lmp")}).status, 0);
  EXPECT_EQ(ReadFile(In("a.lmp")), plain);
  ASSERT_EQ(RunTool({"convert", In("a.lmp"), In("b.gz"), "--gzip=9"}).status, 0);
  EXPECT_EQ(ReadFile(In("b.gz")).substr(0, 2), "\x1f\x8b");
  ASSERT_EQ(RunTool({"convert", In("b.gz"), In("c.lmp"), "--sequential"}).status, 0);
  EXPECT_EQ(ReadFile(In("c.lmp")), plain);
  ASSERT_EQ(RunTool({"convert", In("c.lmp"), In("c.lmp"), "--gzip"}).status, 0);  // in place
  EXPECT_EQ(RunTool({"convert", In("c.lmp"), In("d"), "--gzip=12"}).status, 2);
  EXPECT_FALSE(fs::exists(In("d")));
}

TEST_F(ProjectCommands, FailedConversionsLeaveNoOutput) {
  std::string damaged = ReadFile(examples_ / "sample-project.lmp");
  damaged.resize(damaged.size() / 2);
  WriteFile(In("damaged.lmp"), damaged);
  const ToolRun run = RunTool({"convert", In("damaged.lmp"), In("out.lmp")});
  EXPECT_EQ(std::tuple(run.status, run.err),
            std::tuple(1, "locmodel: " + In("damaged.lmp") + ": malformed project file\n"));
  EXPECT_EQ(RunTool({"dump", In("missing.lmp")}).status, 1);
  // Nothing but the input is left in the folder. (Refusals of files too deep
  // or too large are BoundedResources'.)
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(ProjectCommands, ADatabaseWithoutItemsDumpsANullRoot) {
  const fs::path empty = fs::path(LOCMODEL_SOURCE_DIR) / "tests" / "fixtures" / "sqlite2" / "empty.db";
  const ToolRun run = RunTool({"dump", empty.string(), "--json"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "{\"root\":null}\n");
}

TEST_F(ProjectCommands, DemoChecksItsOwnRoundTrips) {
  const ToolRun run = RunTool({"demo", In("demo")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("through the sequential reader"), std::string::npos);
  EXPECT_NE(run.out.find("as #1002 sees it: 40 (its own)"), std::string::npos);
  EXPECT_TRUE(fs::exists(In("demo/sample.lmp.gz")));
}

}  // namespace
