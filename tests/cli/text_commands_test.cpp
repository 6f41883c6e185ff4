// The text and tool subcommands: bytes in, bytes out and the exit status,
// in-process or as a shell script meets them.
#include <gtest/gtest.h>

#include "support/text_checks.h"
#include "support/tool_rows.h"

namespace {

using namespace testing_support;

TEST(PathCommand, PrintsOneResultPerLine) {
  ExpectRuns({
      {{"path", "norm", "C:/a//b\\", "\\\\server\\share"}, 0, "C:\\a\\b\n\\\\server\\share\n"},
      {{"path", "rel", "c:\\a\\b\\path", "c:\\a\\x\\y\\file", "d:\\x"}, 0, "..\\..\\x\\y\\file\nd:\\x\n"},
      {{"path", "abs", "--native", "/home/p", "../q/./r.rc"}, 0, "/home/q/r.rc\n"},
      {{"path", "ext", "a/b.c.d"}, 0, ".d\n"},
      // is-abs answers by its status alone, like test(1).
      {{"path", "is-abs", "C:"}, 0, "", ""},
      {{"path", "is-abs", "C:x"}, 1, "", ""},
      {{"path", "frob", "x"}, 2},
      {{"path", "rel", "only-base"}, 2},
  });
}

TEST(ToolCommands, RunPassesArgumentsUnchangedAndReportsTheExit) {
  ExpectRuns({
      {{"run", "--", "printf", "%s|", "a b", "c\"d", "e\\\\", ""}, 0, "a b|c\"d|e\\\\||"},
      {{"run", "--json", "--", "sh", "-c", "printf 'x\\ny'; exit 3"}, 1,
       "{\"message\":\"x\\n\"}\n{\"message\":\"y\"}\n{\"started\":true,\"exitCode\":3,\"output\":\"x\\ny\"}\n", ""},
      {{"run", "--quiet", "--cwd", "/", "--cmdline", "sh -c \"pwd; exit 2\""}, 1, "",
       "locmodel: sh -c \"pwd; exit 2\" exited with code 2\n"},
      {{"run", "--", "sh", "-c", "echo $1", "sh", "--json"}, 0, "--json\n"},  // "--json" is sh's
      {{"run", "--cwd=/", "--", "pwd"}, 0, "/\n"},
      {{"run", "--json", "--", "no-such-program-x1"}, 1, "{\"started\":false,\"error\":\"No such file or directory\"}\n"},
      {{"run"}, 2},
      {{"run", "--cmdline", "x", "--", "y"}, 2},
      {{"pe-checksum", "/dev/null/missing"}, 1, ""},
  });
  const auto dirs = RunTool({"dirs"});
  EXPECT_EQ(dirs.status, 0);
  EXPECT_NE(dirs.out.find("\ntemp /"), std::string::npos);
}

TEST(CliText, EntitiesEscapesCondAndRun) {
  ExpectShellRows({
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
  const std::string version = CliRun("--version").out;
  EXPECT_EQ(version.rfind("locmodel ", 0), 0u) << version;
  ExpectContains(version, {"(scheme version 9.0.8298)"});
  ExpectShellRows({{"--version", "", 0, version}, {"-V", "", 0, version}});
}

}  // namespace
