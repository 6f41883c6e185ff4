#include <gtest/gtest.h>

#include "support/tool_rows.h"

namespace {

using testing_support::ExpectToolRows;

TEST(PathCommand, PrintsOneResultPerLine) {
  ExpectToolRows({
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
  ExpectToolRows({
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
  const auto dirs = testing_support::RunTool({"dirs"});
  EXPECT_EQ(dirs.status, 0);
  EXPECT_NE(dirs.out.find("\ntemp /"), std::string::npos);
}

}  // namespace
