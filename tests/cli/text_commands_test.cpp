// The text subcommands as a shell script meets them: bytes on stdin, bytes
// on stdout, and the exit status.
#include <gtest/gtest.h>

#include "support/cli_run.h"

using testing_support::CliRun;
using Cli = CliRun;

TEST(CliText, Entities) {
  EXPECT_EQ(Cli("entities hide", "x&amp;y").out, "x&&&&&y");
  EXPECT_EQ(Cli("entities encode", "'&\"\xc2\xa9").out, "&apos;&AMP;&QUOT;&COPY;");
  EXPECT_EQ(Cli("entities decode", "&eacute;&#x41;\n").out, "\xc3\xa9" "A\n");
  EXPECT_EQ(Cli("entities decode --xml", "&lt;&eacute;").out, "<&eacute;");
  EXPECT_EQ(Cli("entities hide --xml", "&lt;&nbsp;").out, "<<<<&nbsp;");
  EXPECT_EQ(Cli("entities encode --xml", "<\xc3\xa9").out, "&lt;\xc3\xa9");
  EXPECT_EQ(Cli("entities sideways", "x").status, 2);
}

TEST(CliText, Escapes) {
  EXPECT_EQ(Cli("escapes show", "a\\b\tc\n").out, "a\\\\b\\tc\\n");
  EXPECT_EQ(Cli("escapes hide", "a\\\\b\\tc\\n").out, "a\\b\tc\n");
  EXPECT_EQ(Cli("escapes both").status, 2);
}

TEST(CliText, CondExitStatusLikeTest) {
  CliRun run = Cli("cond 'LANG = \"de\"' lang=DE");
  EXPECT_EQ(run.out, "true\n");
  EXPECT_EQ(run.status, 0);
  run = Cli("cond 'X = Y'");
  EXPECT_EQ(run.out, "false\n");
  EXPECT_EQ(run.status, 1);
  run = Cli("cond 'TRUE OR X'");
  EXPECT_EQ(run.out, "false (error 2)\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Cli("cond 'A = \"x=y\"' A=x=y").status, 0);  // split at the first "="
  EXPECT_EQ(Cli("cond 'A = \"\"' A=").status, 0);
  EXPECT_EQ(Cli("cond TRUE NOEQUALS").status, 2);
  EXPECT_EQ(Cli("cond").status, 2);
}

TEST(CliText, VersionAnswersShortAndLongOption) {
  const CliRun longForm = Cli("--version");
  EXPECT_EQ(longForm.status, 0);
  EXPECT_EQ(longForm.out.rfind("locmodel ", 0), 0u) << longForm.out;
  const CliRun shortForm = Cli("-V");
  EXPECT_EQ(shortForm.status, 0) << shortForm.err;
  EXPECT_EQ(shortForm.out, longForm.out);
}

TEST(CliText, RunNamesAMissingWorkingDirectory) {
  CliRun run = Cli("run --cwd /nonexistent/dir -- true");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "locmodel: /nonexistent/dir: No such file or directory\n");
  run = Cli("run --json --cwd /etc/passwd -- true");
  EXPECT_EQ(run.out, "{\"started\":false,\"error\":\"/etc/passwd: Not a directory\"}\n");
  EXPECT_EQ(Cli("run --cwd / -- no-such-program-x1").err,
            "locmodel: cannot start no-such-program-x1: No such file or directory\n");
}
