#include "locmodel/util/process_util.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "locmodel/lang/lang_text.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"
#include "util/command_output.h"
#include "util/file_test_dir.h"

namespace {

namespace fs = std::filesystem;
using locmodel::Utf16ToUtf8;
using locmodel::Utf8ToUtf16;
using testing_support::TestDir;

// Runs `script` with /bin/sh -c; the output, or "<not started>".
std::u16string Sh(const std::string& script, unsigned long* exitCode = nullptr,
                  const char16_t* workDir = nullptr, bool echo = false) {
  unsigned long code = 0;
  std::u16string output;
  const std::u16string args = u"-c " + QuoteCommandLineArg(Utf8ToUtf16(script));
  if (!ExecuteExternalFileEx(code, output, echo, u"/bin/sh", args.c_str(), workDir))
    return u"<not started>";
  if (exitCode) *exitCode = code;
  return output;
}

struct Collector : IMessager {
  std::vector<CMessagePanelMsg> messages;
  Collector() { CMessageProxy::Instance().Register(*this); }
  ~Collector() override { CMessageProxy::Instance().Unregister(*this); }
  void OnNotifyMsg(CMgsId id, const void* data) override {
    if (id == MessagePanel) messages.push_back(*static_cast<const CMessagePanelMsg*>(data));
  }
};

void WriteScript(const fs::path& p, const std::string& body) {
  std::ofstream(p) << "#!/bin/sh\n" << body << "\n";
  fs::permissions(p, fs::perms::owner_all);
}

TEST(CommandLine, SplitsByTheCRuntimeRules) {
  using V = std::vector<std::u16string>;
  EXPECT_EQ(SplitCommandLine(uR"(p "a b c" d e)"), (V{u"p", u"a b c", u"d", u"e"}));
  EXPECT_EQ(SplitCommandLine(uR"(p "ab\"c" "\\" d)"), (V{u"p", uR"(ab"c)", uR"(\)", u"d"}));
  EXPECT_EQ(SplitCommandLine(uR"(p a\\\b d"e f"g h)"), (V{u"p", uR"(a\\\b)", u"de fg", u"h"}));
  EXPECT_EQ(SplitCommandLine(uR"(p a\\\"b c d)"), (V{u"p", uR"(a\"b)", u"c", u"d"}));
  EXPECT_EQ(SplitCommandLine(uR"(p a\\\\"b c" d e)"), (V{u"p", uR"(a\\b c)", u"d", u"e"}));
  EXPECT_EQ(SplitCommandLine(uR"(p a"b"" c d)"), (V{u"p", uR"(ab" c d)"}));
  EXPECT_EQ(SplitCommandLine(u"p \"\" \t x "), (V{u"p", u"", u"x"}));
  // The program name: quotes removed, backslashes literal.
  EXPECT_EQ(SplitCommandLine(uR"("C:\Program Files\x.exe" -a)"),
            (V{uR"(C:\Program Files\x.exe)", u"-a"}));
  EXPECT_EQ(SplitCommandLine(uR"(a\"b c)"), (V{uR"(a\b c)"}));
  EXPECT_EQ(SplitCommandLine(u"  "), V{});
}

TEST(CommandLine, QuotedArgumentsSplitBackUnchanged) {
  const std::vector<std::u16string> args = {
      u"a b", u"c\"d", u"e\\\\", u"", u";|&$()", u"-leading", u"tab\there", u"\\\"",
      u"x\\", u"\\\\server\\share\\", u"\"\"", u"plain", u"\u00e9\U0001F600"};
  std::u16string line = u"prog";
  for (const auto& a : args) line += u" " + QuoteCommandLineArg(a);
  std::vector<std::u16string> expected = {u"prog"};
  expected.insert(expected.end(), args.begin(), args.end());
  EXPECT_EQ(SplitCommandLine(line), expected);
  EXPECT_EQ(QuoteCommandLineArg(u"plain"), u"plain");

  // And a real child receives them unchanged.
  std::u16string printfArgs = u"\"%s|\"";
  for (const auto& a : args) printfArgs += u" " + QuoteCommandLineArg(a);
  std::u16string output;
  ASSERT_TRUE(ExecuteExternalFile(output, false, u"printf", printfArgs.c_str(), nullptr));
  std::u16string joined;
  for (const auto& a : args) joined += a + u"|";
  EXPECT_EQ(output, joined);
}

TEST(CommandOutput, EchoesOneLinePerBlockAndTheRestAtTheEnd) {
  locmodel::CommandOutput out;
  std::u16string line;
  out.Append("ab\r\ncd", 6);
  ASSERT_TRUE(out.NextLine(line));
  EXPECT_EQ(line, u"ab\r");  // a CR LF ends one message in CR...
  out.Append("ef\ngh\n", 6);
  ASSERT_TRUE(out.NextLine(line));
  EXPECT_EQ(line, u"\n");  // ...and the next begins with its LF
  out.Append("no line end", 11);
  ASSERT_TRUE(out.NextLine(line));
  EXPECT_EQ(line, u"cdef\n");
  out.Append("", 0);
  ASSERT_TRUE(out.NextLine(line));
  EXPECT_EQ(line, u"gh\n");
  out.Append(" here", 5);
  EXPECT_FALSE(out.NextLine(line));
  out.Finish();
  ASSERT_TRUE(out.Rest(line));
  EXPECT_EQ(line, u"no line end here");  // everything unsent, as one message
  EXPECT_FALSE(out.Rest(line));
  EXPECT_EQ(out.text(), u"ab\r\ncdef\ngh\nno line end here");
}

TEST(CommandOutput, DecodesSequencesSplitBetweenBlocks) {
  locmodel::CommandOutput out;
  const std::string text = "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80.";
  for (char c : text) out.Append(&c, 1);  // every sequence split at every byte
  out.Append("\xff", 1);                  // invalid: U+FFFD at once
  out.Append("\xe2\x82", 2);              // truncated by the end of output
  out.Finish();
  EXPECT_EQ(out.text(), u"\u00e9\u20ac\U0001F600.\uFFFD\uFFFD");
}

TEST(ExecuteExternal, CapturesOutputAndExitCode) {
  unsigned long code = 99;
  EXPECT_EQ(Sh("echo out; echo err >&2; echo again; exit 1", &code), u"out\nerr\nagain\n");
  EXPECT_EQ(code, 1u);
  std::u16string output;
  EXPECT_FALSE(ExecuteExternalFile(output, false, u"/bin/sh", u"-c \"echo x; exit 1\"", nullptr));
  EXPECT_EQ(output, u"x\n");
  EXPECT_TRUE(ExecuteExternalFile(output, false, u"/bin/sh", u"-c true", nullptr));
  EXPECT_EQ(output, u"");
  EXPECT_EQ(Sh("kill -TERM $$", &code), u"");
  EXPECT_EQ(code, 128u + 15u);
  // Standard input is at its end, not the host's terminal.
  EXPECT_EQ(Sh("cat; readlink /proc/self/fd/0"), u"/dev/null\n");
}

TEST(ExecuteExternal, LostStatusGivesTheUnknownCodeNotAHang) {
  // A host ignoring SIGCHLD has the system reap its children; the child
  // itself starts with the default disposition.
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGCHLD, &ignore, &old);
  unsigned long code = 0;
  const std::u16string output = Sh("grep SigIgn /proc/self/status; exit 3", &code);
  ::sigaction(SIGCHLD, &old, nullptr);
  ASSERT_EQ(output.size(), 25u);  // "SigIgn:\t" and 16 hex digits
  const unsigned long long ignored = std::stoull(Utf16ToUtf8(output.substr(8)), nullptr, 16);
  EXPECT_EQ(ignored & (1ull << (SIGCHLD - 1)), 0u);
  EXPECT_EQ(code, kExitCodeUnknown);
}

TEST(ExecuteExternal, ChildSeesNoDescriptorButItsOwn) {
  // A descriptor the host left inheritable must not reach the child.
  const int leaky = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(leaky, 3);
  // ls lists the descriptors open in itself: 0-2 and the one it reads with.
  EXPECT_EQ(Sh("exec ls /proc/self/fd"), u"0\n1\n2\n3\n");
  ::close(leaky);
}

TEST(ExecuteExternal, WorkDirAndProgramPaths) {
  TestDir dir;
  fs::create_directories(dir / "bin");
  fs::create_directories(dir / "work");
  WriteScript(dir / "bin" / "tool.sh", "echo tool in $(pwd)");
  const std::string work = fs::canonical(dir / "work").string();
  const std::u16string work16 = Utf8ToUtf16(work);
  EXPECT_EQ(Sh("pwd", nullptr, work16.c_str()), work16 + u"\n");

  // A relative program path is taken from the caller's directory, not from
  // workDir, with either separator.
  const fs::path before = fs::current_path();
  fs::current_path(dir.path());
  std::u16string output;
  const bool backslash = ExecuteExternalFile(output, false, u"bin\\tool.sh", u"", work16.c_str());
  const std::u16string viaBackslash = output;
  const bool slash = ExecuteExternalFile(output, false, u"\"./bin/tool.sh\"", nullptr, work16.c_str());
  fs::current_path(before);
  EXPECT_TRUE(backslash);
  EXPECT_EQ(viaBackslash, u"tool in " + work16 + u"\n");
  EXPECT_TRUE(slash);
  EXPECT_EQ(output, viaBackslash);
}

TEST(ExecuteExternal, FailuresToStartNameTheirCause) {
  unsigned long code = 7;
  std::u16string output = u"untouched";
  errno = 0;
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"no-such-program-x1", u"", nullptr));
  EXPECT_EQ(GetLastErrorStrAndClear(), u"No such file or directory");
  EXPECT_EQ(GetLastErrorStrAndClear(), u"Success");
  EXPECT_EQ(output, u"untouched");
  EXPECT_EQ(code, 7u);
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/bin/true", u"", u"/no/such/dir"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/etc/passwd", u"", nullptr));
  EXPECT_EQ(errno, EACCES);

  // "exe" + " " + args with its terminator must fit 3024 units.
  const std::u16string fits(kMaxCommandLine - 1 - 10, u'x');  // "/bin/true " is 10
  EXPECT_TRUE(ExecuteExternalFileEx(code, output, false, u"/bin/true", fits.c_str(), nullptr));
  const std::u16string tooLong = fits + u"x";
  errno = 0;
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/bin/true", tooLong.c_str(), nullptr));
  EXPECT_EQ(errno, E2BIG);
}

TEST(ExecuteExternal, EchoPostsLinesThroughTheProxy) {
  Collector sink;
  const std::u16string output = Sh("printf 'one\\ntwo\\nthree'", nullptr, nullptr, true);
  ASSERT_FALSE(sink.messages.empty());
  std::u16string joined;
  for (const auto& m : sink.messages) {
    joined += m.text;
    EXPECT_EQ(m.type, CMessagePanelMsg::Output);
    EXPECT_EQ(m.item, nullptr);
    EXPECT_EQ(m.number, -1);
  }
  EXPECT_EQ(joined, output);
  EXPECT_EQ(output, u"one\ntwo\nthree");
  sink.messages.clear();
  CMessageProxy::Instance().SuppressMPNotifications(true);
  Sh("echo quiet", nullptr, nullptr, true);
  CMessageProxy::Instance().SuppressMPNotifications(false);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(LinkExecute, PostsTheResourceMessageOnlyWhenTheHandlerFails) {
  TestDir dir;
  const std::string oldPath = std::getenv("PATH");
  fs::create_directories(dir / "fails");
  fs::create_directories(dir / "works");
  WriteScript(dir / "fails" / "xdg-open", "printf '%s\\n' \"$1\" > \"$(dirname \"$0\")/arg\"; exit 4");
  WriteScript(dir / "works" / "xdg-open", "printf '%s\\n' \"$1\" > \"$(dirname \"$0\")/arg\"");
  locmodel::RegisterStringTable({{15350, u"Cannot open %s (100%%)"}});
  Collector sink;

  ::setenv("PATH", ((dir / "fails").string() + ":" + oldPath).c_str(), 1);
  LinkExecute(u"-odd\\name.txt", 1);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].text, u"Cannot open -odd\\name.txt (100%)");
  EXPECT_EQ(sink.messages[0].type, CMessagePanelMsg::LinkFailure);
  std::ifstream arg(dir / "fails" / "arg");
  std::string seen;
  std::getline(arg, seen);
  EXPECT_EQ(seen, "./-odd/name.txt");  // a path, never an option

  sink.messages.clear();
  ::setenv("PATH", ((dir / "works").string() + ":" + oldPath).c_str(), 1);
  LinkExecute(u"https://example.org/a\\b", 1);
  ::setenv("PATH", oldPath.c_str(), 1);
  locmodel::ClearStringTables();
  EXPECT_TRUE(sink.messages.empty());
  std::ifstream url(dir / "works" / "arg");
  std::getline(url, seen);
  EXPECT_EQ(seen, "https://example.org/a\\b");  // a link keeps its text
}

}  // namespace
