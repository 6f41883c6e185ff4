// Output files meet the system's limits: the command says what failed and
// leaves neither a partial file nor a temporary one.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

using testing_support::CliRun;
using testing_support::ReadFile;
using testing_support::TempDirTest;

class OutputLimits : public TempDirTest {};

TEST_F(OutputLimits, FileSizeLimitFailsWithAMessageAndLeavesNothing) {
  const std::string sample = LOCMODEL_SOURCE_DIR "/examples/sample-project.lmp";
  // The output is several KB; the limit 1 or 2 KB, as the shell counts blocks.
  const std::string limited = std::string("ulimit -f 2; exec ") + LOCMODEL_CLI_PATH;
  const struct {
    const char* args;
    bool existing;
  } cases[] = {{"", false}, {"", true}, {" --gzip=0", false}};
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    if (c.existing) testing_support::WriteFile(dir_ / "out.lmp", std::string("old"));
    const CliRun run("convert " + sample + " " + In("out.lmp") + c.args, "", limited);
    SCOPED_TRACE(std::string(c.args) + (c.existing ? " over an existing file" : ""));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("locmodel: ")) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    const size_t expected = c.existing ? 1 : 0;
    EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_),
                                                std::filesystem::directory_iterator())),
              expected);
    if (c.existing) {
      EXPECT_EQ(ReadFile(dir_ / "out.lmp"), "old");
    }
  }
}

}  // namespace
