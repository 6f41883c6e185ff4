// Standard input, pipes and the progress line of the commands that read
// projects, streams, rule files and databases.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/item_trees.h"
#include "support/temp_dir.h"
#include "support/tool_rows.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using Stdin = CliRun::Stdin;

const fs::path kSource = LOCMODEL_SOURCE_DIR;
const std::string kSample = (kSource / "examples" / "sample-project.lmp").string();
const std::string kSampleGz = kSample + ".gz";
const std::string kEmptyDb = (kSource / "tests" / "fixtures" / "sqlite2" / "empty.db").string();
const std::string kRules = (kSource / "data" / "segment.srx").string();

class PipesAndProgress : public TempDirTest {};

TEST_F(PipesAndProgress, InputsFromPipesAreReadWholeAndProbedByContent) {
  // Each command on a file, and on its bytes as "-" through a pipe and a
  // redirected standard input, and through a pipe opened by its name (which
  // cannot be opened twice), prints the same.
  const struct {
    std::vector<std::string> args;  // "IN" stands for the input
    std::string file;
  } cases[] = {
      {{"dump", "--json", "IN"}, kSample},
      {{"dump", "--sequential", "IN"}, kSampleGz},
      {{"dump-stream", "IN", "--json"}, kSampleGz},
      {{"dump-stream", "IN", "--props"}, kSample},
      {{"srx", "check", "IN", "--lang", "de-DE"}, kRules},
  };
  for (const auto& c : cases) {
    std::vector<std::string> onFile = c.args;
    std::string dash, named;
    for (std::string& arg : onFile) arg = arg == "IN" ? c.file : arg;
    for (const std::string& arg : c.args) {
      dash += (arg == "IN" ? "-" : "'" + arg + "'") + " ";
      named += (arg == "IN" ? "/dev/stdin" : "'" + arg + "'") + " ";
    }
    const ToolRun expected = RunTool(onFile);
    ASSERT_EQ(expected.status, 0) << expected.err;
    for (const auto& [shell, how] : {std::pair(dash, Stdin::kPipe), {dash, Stdin::kFile}, {named, Stdin::kPipe}}) {
      const CliRun run(shell, ReadFile(c.file), how);
      EXPECT_EQ(run.status, 0) << shell << run.err;
      EXPECT_EQ(run.out, expected.out) << shell;
    }
  }

  // convert reads a pipe and writes what it writes from the file.
  EXPECT_EQ(CliRun("convert - " + In("out.lmp"), ReadFile(kSampleGz), Stdin::kPipe).status, 0);
  EXPECT_EQ(ReadFile(In("out.lmp")), ReadFile(kSample));

  // Damage is named as standard input's; a database cannot come through a
  // pipe, and database-only commands say so as a usage error.
  std::string cut = ReadFile(kSampleGz);
  cut.resize(cut.size() / 2);
  EXPECT_EQ(CliRun("dump -", cut, Stdin::kPipe).err, "locmodel: (standard input): corrupt gzip data\n");
  EXPECT_EQ(CliRun("dump -", "junk", Stdin::kPipe).err,
            "locmodel: (standard input): malformed project file\n");
  const CliRun db = CliRun("dump -", ReadFile(kEmptyDb), Stdin::kPipe);
  EXPECT_EQ(std::tuple(db.status, db.err),
            std::tuple(1, "locmodel: (standard input): a project database is read from a file, not a pipe\n"));
  for (const char* command : {"db-dump -", "db-values -", "sqlite2-dump -", "db-upgrade - x.db"}) {
    const CliRun refused(command, ReadFile(kEmptyDb), Stdin::kPipe);
    EXPECT_EQ(refused.status, 2) << command;
    EXPECT_NE(refused.err.find("not from standard input or a pipe\nusage: locmodel "), std::string::npos)
        << refused.err;
  }
  EXPECT_EQ(CliRun("segment --type srx --srx -", "text").status, 2);
}

TEST_F(PipesAndProgress, ConvertRefusesToWriteAProjectFileUnderADatabaseName) {
  ExpectRuns({
      {{"convert", kSample, In("p.db")}, 2, {}, Holds("db-upgrade makes databases")},
      {{"convert", kSample, In("p.SQLite")}, 2, {}, Holds("usage: locmodel convert")},
      {{"convert", kSample, "-"}, 2, {}, Holds("usage: locmodel convert")},
  });
  EXPECT_FALSE(fs::exists(In("p.db")) || fs::exists(In("p.SQLite")) || fs::exists(In("-")));
  EXPECT_EQ(RunTool({"convert", kSample, In("p.db.lmp")}).status, 0);
}

TEST_F(PipesAndProgress, ProgressLinesOnlyWhenAskedOrOnATerminal) {
  // Updates start with a carriage return; the last line of each stage ends
  // with a newline.
  const std::regex stage("(\rlocmodel: [^\r\n]+)+\n");
  const std::string upgraded = In("new.db");
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> finals;  // what the last update of each stage says
  } cases[] = {
      {{"dump", kSample}, {"reading " + kSample + ": 7 KiB of 7 KiB (100%)"}},
      {{"dump", kSampleGz, "--json"}, {"(100%)"}},
      {{"convert", kSample, In("out.lmp"), "--gzip"}, {"(100%)", "writing " + In("out.lmp")}},
      {{"db-dump", kEmptyDb},
       {"table PROP: 0 rows", "table RES_ITEM: 0 rows", "table TRANS_ITEM: 0 rows", "table BINARY: 0 rows",
        "table VAL_STORAGE: 0 rows"}},
      {{"db-upgrade", kEmptyDb, upgraded}, {"copying " + kEmptyDb + ": 0 s"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> quiet = c.args, loud = c.args;
    loud.push_back("--progress");
    std::string shell;
    for (const std::string& arg : c.args) shell += "'" + arg + "' ";
    // Standard error is a file here, not a terminal: nothing is shown.
    const CliRun silent(shell);
    EXPECT_EQ(silent.status, 0) << shell << silent.err;
    EXPECT_EQ(silent.err, "") << shell;
    fs::remove(upgraded);

    const ToolRun run = RunTool(loud);
    EXPECT_EQ(run.status, 0) << shell << run.err;
    EXPECT_EQ(run.out, silent.out) << shell;
    std::string rest = run.err;
    for (const std::string& final : c.finals) {
      std::smatch match;
      ASSERT_TRUE(std::regex_search(rest, match, stage, std::regex_constants::match_continuous))
          << shell << ": " << rest;
      const std::string last = match.str().substr(match.str().rfind('\r'));
      EXPECT_NE(last.find(final), std::string::npos) << shell << ": " << last;
      rest = match.suffix();
    }
    EXPECT_EQ(rest, "") << shell;
    fs::remove(upgraded);

    quiet.push_back("--quiet");
    EXPECT_EQ(RunTool(quiet).err, "") << shell;
    fs::remove(upgraded);
    quiet.push_back("--progress");
    EXPECT_EQ(RunTool(quiet).status, 2) << shell;
  }
}

TEST_F(PipesAndProgress, DeepTreesPrintInLinesOfBoundedWidth) {
  WriteFile(In("deep.lmp"), ChainProjectBytes(1000));
  const ToolRun run = RunTool({"dump", In("deep.lmp")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string margin(128, ' ');
  const auto path = [](size_t depth) {
    std::string steps;
    for (size_t i = 0; i < depth; ++i) steps += "/0";
    return steps;
  };
  EXPECT_NE(run.out.find("\n" + margin + "item " + path(64) + " type="), std::string::npos);
  EXPECT_NE(run.out.find("\n" + margin + "[65] item " + path(65) + " type="), std::string::npos);
  EXPECT_NE(run.out.find("\n" + margin + "[999] item " + path(999) + " type="), std::string::npos);
  size_t widest = 0;
  for (size_t start = 0, end; start < run.out.size(); start = end + 1) {
    end = run.out.find('\n', start);
    widest = std::max(widest, end - start);
  }
  // The margin stops growing at 64 levels; only the position path, two bytes
  // a level, grows, and the depth limit bounds it.
  EXPECT_LT(widest, 200u + 2 * 1000);
}

}  // namespace
