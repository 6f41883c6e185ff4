// dbcfg expand and xmlcfg show on the sample project in examples/, against
// golden outputs written by hand, and their refusals.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CliRun;
using testing_support::ReadFile;

const std::string kExamples = std::string(LOCMODEL_SOURCE_DIR) + "/examples/";
const std::string kProject = kExamples + "cfg-project.lmp";

TEST(CfgCommands, MatchTheHandWrittenGoldens) {
  struct Case {
    std::string args, golden;
  } cases[] = {
      {"dbcfg expand " + kProject + " --item /0 --json", "cfg-project.dbcfg.json"},
      {"xmlcfg show " + kProject + " --format 12 --item /1 --json", "cfg-project.xmlcfg.json"},
  };
  for (const Case& c : cases) {
    const CliRun run(c.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, ReadFile(kExamples + c.golden)) << c.args;
  }
}

TEST(CfgCommands, LanguagesAndSchemesOutsideTheDefaults) {
  // Languages in the order given, by culture name too.
  const CliRun langs("dbcfg expand " + kProject + " --item /0 --lang fr-FR --lang 0x407");
  EXPECT_EQ(langs.status, 0) << langs.err;
  EXPECT_NE(langs.out.find("table UiStrings scheme 1 keys StringId, Lang (group)\n"
                           "  1036 Lang=fr fields Text, Tooltip\n  1031 Lang=1031 fields Text, Tooltip\n"),
            std::string::npos)
      << langs.out;
  // Undecorated, the XML item's format-12 settings are not seen.
  const CliRun plain("xmlcfg show " + kProject + " --format -1 --item /1");
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(plain.out.find("XML.XPath = \"//*\" (from /1)\n"), std::string::npos) << plain.out;
  EXPECT_NE(plain.out.find("XML.Autodetect = true (default)\n"), std::string::npos) << plain.out;
}

TEST(CfgCommands, Refusals) {
  struct Case {
    std::string args;
    int status;
    std::string err;
  } cases[] = {
      {"dbcfg expand " + kProject + " --item /9", 1, "locmodel: " + kProject + ": no item /9\n"},
      {"dbcfg expand " + kProject + " --lang xx-NOPE", 2, "locmodel: bad language 'xx-NOPE'\n"},
      {"dbcfg list " + kProject, 2, "locmodel: unknown subcommand 'list'\n"},
      {"xmlcfg show " + kProject, 2, "locmodel: --format is required\n"},
      {"xmlcfg show " + kProject + " --format x", 2, "locmodel: bad format number 'x'\n"},
  };
  for (const Case& c : cases) {
    const CliRun run(c.args);
    EXPECT_EQ(run.status, c.status) << c.args;
    EXPECT_EQ(run.err.substr(0, run.err.find("usage:")), c.err) << c.args;
  }
}

class CfgCommandsNoLangs : public testing_support::TempDirTest {};

TEST_F(CfgCommandsNoLangs, DbcfgAsksForLanguages) {
  const std::string project = In("bare.lmp");
  ASSERT_EQ(CliRun("convert " + kProject + " " + project).status, 0);
  ASSERT_EQ(CliRun("project-langs " + project + " --select ''").status, 0);
  const CliRun run("dbcfg expand " + project + " --item /0 --json");
  EXPECT_EQ(std::tuple(run.status, run.out, run.err),
            std::tuple(1, "", "locmodel: " + project + ": no output languages at /0; give --lang\n"));
}

}  // namespace
