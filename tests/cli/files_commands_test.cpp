#include <gtest/gtest.h>

#include "support/cli_run.h"

namespace {

using testing_support::RunTool;

TEST(PathCommand, PrintsOneResultPerLine) {
  auto r = RunTool({"path", "norm", "C:/a//b\\", "\\\\server\\share"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "C:\\a\\b\n\\\\server\\share\n");
  r = RunTool({"path", "rel", "c:\\a\\b\\path", "c:\\a\\x\\y\\file", "d:\\x"});
  EXPECT_EQ(r.out, "..\\..\\x\\y\\file\nd:\\x\n");
  r = RunTool({"path", "abs", "--native", "/home/p", "../q/./r.rc"});
  EXPECT_EQ(r.out, "/home/q/r.rc\n");
  EXPECT_EQ(RunTool({"path", "ext", "a/b.c.d"}).out, ".d\n");
  // is-abs answers by its status alone, like test(1).
  r = RunTool({"path", "is-abs", "C:"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err, "");
  r = RunTool({"path", "is-abs", "C:x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out + r.err, "");
  EXPECT_EQ(RunTool({"path", "frob", "x"}).status, 2);
  EXPECT_EQ(RunTool({"path", "rel", "only-base"}).status, 2);
}

TEST(RunCommand, PassesArgumentsUnchangedAndReportsTheExit) {
  auto r = RunTool({"run", "--", "printf", "%s|", "a b", "c\"d", "e\\\\", ""});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "a b|c\"d|e\\\\||");
  r = RunTool({"run", "--json", "--", "sh", "-c", "printf 'x\\ny'; exit 3"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out,
            "{\"message\":\"x\\n\"}\n{\"message\":\"y\"}\n"
            "{\"started\":true,\"exitCode\":3,\"output\":\"x\\ny\"}\n");
  EXPECT_EQ(r.err, "");
  r = RunTool({"run", "--quiet", "--cwd", "/", "--cmdline", "sh -c \"pwd; exit 2\""});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "locmodel: sh -c \"pwd; exit 2\" exited with code 2\n");
  r = RunTool({"run", "--", "sh", "-c", "echo $1", "sh", "--json"});  // "--json" is sh's
  EXPECT_EQ(r.out, "--json\n");
  r = RunTool({"run", "--cwd=/", "--", "pwd"});
  EXPECT_EQ(r.out, "/\n");
  r = RunTool({"run", "--json", "--", "no-such-program-x1"});
  EXPECT_EQ(r.out, "{\"started\":false,\"error\":\"No such file or directory\"}\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(RunTool({"run"}).status, 2);
  EXPECT_EQ(RunTool({"run", "--cmdline", "x", "--", "y"}).status, 2);
}

TEST(PeChecksumCommand, PrintsHexOrFails) {
  auto r = RunTool({"pe-checksum", "/dev/null/missing"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  r = RunTool({"dirs"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\ntemp /"), std::string::npos);
}

}  // namespace
