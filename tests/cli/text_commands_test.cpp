// The text subcommands as a shell script meets them: bytes on stdin, bytes
// on stdout, and the exit status.
#include <gtest/gtest.h>

#include "support/tool_rows.h"

using testing_support::CliRun;

TEST(CliText, EntitiesEscapesCondAndRun) {
  testing_support::ExpectShellRows({
      {"entities hide", "x&amp;y", 0, "x&&&&&y"},
      {"entities encode", "'&\"\xc2\xa9", 0, "&apos;&AMP;&QUOT;&COPY;"},
      {"entities decode", "&eacute;&#x41;\n", 0, "\xc3\xa9" "A\n"},
      {"entities decode --xml", "&lt;&eacute;", 0, "<&eacute;"},
      {"entities hide --xml", "&lt;&nbsp;", 0, "<<<<&nbsp;"},
      {"entities encode --xml", "<\xc3\xa9", 0, "&lt;\xc3\xa9"},
      {"entities sideways", "x", 2},
      {"escapes show", "a\\b\tc\n", 0, "a\\\\b\\tc\\n"},
      {"escapes hide", "a\\\\b\\tc\\n", 0, "a\\b\tc\n"},
      {"escapes both", "", 2},
      // cond answers by its exit status, like test(1).
      {"cond 'LANG = \"de\"' lang=DE", "", 0, "true\n"},
      {"cond 'X = Y'", "", 1, "false\n"},
      {"cond 'TRUE OR X'", "", 1, "false (error 2)\n"},
      {"cond 'A = \"x=y\"' A=x=y", "", 0},  // split at the first "="
      {"cond 'A = \"\"' A=", "", 0},
      {"cond TRUE NOEQUALS", "", 2},
      {"cond", "", 2},
      // A missing working directory is named.
      {"run --cwd /nonexistent/dir -- true", "", 1, {}, "locmodel: /nonexistent/dir: No such file or directory\n"},
      {"run --json --cwd /etc/passwd -- true", "", 1,
       "{\"started\":false,\"error\":\"/etc/passwd: Not a directory\"}\n"},
      {"run --cwd / -- no-such-program-x1", "", 1, {},
       "locmodel: cannot start no-such-program-x1: No such file or directory\n"},
  });
}

TEST(CliText, VersionAnswersShortAndLongOption) {
  const CliRun longForm("--version");
  EXPECT_EQ(longForm.status, 0);
  EXPECT_EQ(longForm.out.rfind("locmodel ", 0), 0u) << longForm.out;
  EXPECT_NE(longForm.out.find("(scheme version 9.0.8298)"), std::string::npos) << longForm.out;
  const CliRun shortForm("-V");
  EXPECT_EQ(shortForm.status, 0) << shortForm.err;
  EXPECT_EQ(shortForm.out, longForm.out);
}
