#include "locmodel/util/process_util.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "locmodel/lang/lang_text.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/unicode.h"
#include "support/message_collector.h"
#include "util/command_output.h"
#include "support/temp_dir.h"
#include "test_paths.h"

namespace {

namespace fs = std::filesystem;
using locmodel::Utf16ToUtf8;
using locmodel::Utf8ToUtf16;
using testing_support::MessageCollector;
// Tests that run programs of their own, in a folder of their own.
using ProgramPaths = testing_support::TempDirTest;
using OpenLink = testing_support::TempDirTest;

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

void WriteScript(const fs::path& p, const std::string& body) {
  std::ofstream(p) << "#!/bin/sh\n" << body << "\n";
  fs::permissions(p, fs::perms::owner_all);
}

TEST(CommandLine, SplitsByTheCRuntimeRules) {
  using V = std::vector<std::u16string>;
  const struct {
    std::u16string line;
    V args;
  } cases[] = {
      {uR"(p "a b c" d e)", {u"p", u"a b c", u"d", u"e"}},
      {uR"(p "ab\"c" "\\" d)", {u"p", uR"(ab"c)", uR"(\)", u"d"}},
      {uR"(p a\\\b d"e f"g h)", {u"p", uR"(a\\\b)", u"de fg", u"h"}},
      {uR"(p a\\\"b c d)", {u"p", uR"(a\"b)", u"c", u"d"}},
      {uR"(p a\\\\"b c" d e)", {u"p", uR"(a\\b c)", u"d", u"e"}},
      {uR"(p a"b"" c d)", {u"p", uR"(ab" c d)"}},
      {u"p \"\" \t x ", {u"p", u"", u"x"}},
      // A quote left open runs to the end of the line, and no further.
      {uR"(p [%s] "abc)", {u"p", u"[%s]", u"abc"}},
      {uR"(p "a b)", {u"p", u"a b"}},
      {uR"(p "a\")", {u"p", uR"(a")"}},
      {uR"(p ")", {u"p", u""}},
      {uR"("pro g)", {u"pro g"}},
      // The program name: quotes removed, backslashes literal.
      {uR"("C:\Program Files\x.exe" -a)", {uR"(C:\Program Files\x.exe)", u"-a"}},
      {uR"(a\"b c)", {uR"(a\b c)"}},
      {u"  ", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << Utf16ToUtf8(c.line);
}

TEST(CommandLine, ExeAndArgsJoinWithoutABlankInsideAnOpenQuote) {
  const struct {
    const char16_t* exe;
    const char16_t* args;
    std::u16string output;
  } cases[] = {
      {u"printf [%s] \"abc", u"", u"[abc]"},
      {u"printf [%s] \"abc", nullptr, u"[abc]"},
      {u"printf", u"[%s] \"abc", u"[abc]"},
      {u"printf [%s]", u"\"a b", u"[a b]"},
      {u"printf [%s] \"a", u"b\"", u"[a b]"},  // the blank between them is the line's
  };
  for (const auto& c : cases) {
    std::u16string output;
    EXPECT_TRUE(ExecuteExternalFile(output, false, c.exe, c.args, nullptr)) << Utf16ToUtf8(c.exe);
    EXPECT_EQ(output, c.output) << Utf16ToUtf8(c.exe);
  }
}

// The child's words are the line's split: quoting then splitting gives each
// argument back.
TEST(CommandLine, QuotedArgumentsReachTheChildUnchanged) {
  const std::vector<std::u16string> args = {
      u"a b", u"c\"d", u"e\\\\", u"", u";|&$()", u"-leading", u"tab\there", u"\\\"",
      u"x\\", u"\\\\server\\share\\", u"\"\"", u"plain", u"\u00e9\U0001F600"};
  EXPECT_EQ(QuoteCommandLineArg(u"plain"), u"plain");
  std::u16string printfArgs = u"\"%s|\"";
  for (const auto& a : args) printfArgs += u" " + QuoteCommandLineArg(a);
  std::u16string output;
  ASSERT_TRUE(ExecuteExternalFile(output, false, u"printf", printfArgs.c_str(), nullptr));
  std::u16string joined;
  for (const auto& a : args) joined += a + u"|";
  EXPECT_EQ(output, joined);
}

TEST(CommandOutput, EchoesOneLinePerBlockAndTheRestAtTheEnd) {
  locmodel::CommandOutput out(kDefaultCommandOutputCap);
  std::u16string line;
  // A CR LF ends one message in CR and the next begins with its LF.
  const std::pair<std::string, const char16_t*> blocks[] = {
      {"ab\r\ncd", u"ab\r"}, {"ef\ngh\n", u"\n"}, {"no line end", u"cdef\n"}, {"", u"gh\n"}, {" here", nullptr}};  // no line ends here
  for (const auto& [block, echoed] : blocks) {
    out.Append(block.data(), block.size());
    EXPECT_EQ(out.NextLine(line) ? line : u"(none)", echoed ? echoed : u"(none)") << block;
  }
  out.Finish();
  ASSERT_TRUE(out.Rest(line));
  EXPECT_EQ(line, u"no line end here");  // everything unsent, as one message
  EXPECT_FALSE(out.Rest(line));
  EXPECT_EQ(out.TakeText(), u"ab\r\ncdef\ngh\nno line end here");
}

TEST(CommandOutput, DecodesSequencesSplitBetweenBlocks) {
  locmodel::CommandOutput out(kDefaultCommandOutputCap);
  const std::string text = "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80.";
  for (char c : text) out.Append(&c, 1);  // every sequence split at every byte
  out.Append("\xff", 1);                  // invalid: U+FFFD at once
  out.Append("\xe2\x82", 2);              // truncated by the end of output
  out.Finish();
  EXPECT_EQ(out.TakeText(), u"\u00e9\u20ac\U0001F600.\uFFFD\uFFFD");

  // Megabytes in odd blocks: the lines and the text are those of the whole.
  std::string whole;
  while (whole.size() < (3 << 20)) {
    whole += "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80 line " + std::to_string(whole.size()) + "\n";
  }
  locmodel::CommandOutput big(kDefaultCommandOutputCap);
  std::u16string echoed, line;
  for (size_t at = 0; at < whole.size(); at += 9999) {
    big.Append(whole.data() + at, std::min<size_t>(9999, whole.size() - at));
    while (big.NextLine(line)) echoed += line;
  }
  big.Finish();
  if (big.Rest(line)) echoed += line;
  const std::u16string expected = Utf8ToUtf16(whole);
  EXPECT_TRUE(echoed == expected);
  EXPECT_TRUE(big.TakeText() == expected);
}

TEST(CommandOutput, KeepsWholeCharactersUpToTheCapAndCountsTheRest) {
  const struct {
    size_t cap;
    std::vector<std::string> blocks;
    std::u16string kept;
    uint64_t dropped;
  } cases[] = {
      {10, {"12345678", "\xc3\xa9", "\xc3\xa9"}, u"12345678\u00e9", 2},
      {9, {"12345678", "\xc3\xa9z"}, u"12345678", 3},        // no half of a character
      {9, {"12345678\xe2", "\x82\xac"}, u"12345678", 3},     // nor one split by the blocks
      {4, {"ab", "", "cd", "ef", "gh"}, u"abcd", 4},          // all blocks after the cap count
      {4, {"abc\xe2\x82"}, u"abc", 2},                       // an incomplete end beyond the cap
      {5, {"abc\xe2\x82"}, u"abc\uFFFD", 0},                 // and within it
      {0, {"a"}, u"", 1},
  };
  for (const auto& c : cases) {
    locmodel::CommandOutput out(c.cap);
    for (const std::string& block : c.blocks) out.Append(block.data(), block.size());
    out.Finish();
    EXPECT_EQ(out.dropped(), c.dropped) << c.cap << " " << c.blocks[0];
    EXPECT_EQ(out.TakeText(), c.kept) << c.cap << " " << c.blocks[0];
  }
}

TEST(ExecuteExternal, CapturesOutputAndExitCode) {
  unsigned long code = 99;
  EXPECT_EQ(Sh("echo out; echo err >&2; echo again; exit 1", &code), u"out\nerr\nagain\n");
  EXPECT_EQ(code, 1u);
  std::u16string output;
  EXPECT_FALSE(ExecuteExternalFile(output, false, u"/bin/sh", u"-c \"echo x; exit 1\"", nullptr));
  EXPECT_EQ(output, u"x\n");
  EXPECT_TRUE(ExecuteExternalFile(output, false, u"/bin/sh", u"-c true", nullptr) && output.empty());
  EXPECT_TRUE(Sh("kill -TERM $$", &code).empty() && code == 128u + 15u);
  // Standard input is at its end, not the host's terminal.
  EXPECT_EQ(Sh("cat; readlink /proc/self/fd/0"), u"/dev/null\n");
  // A descriptor the host left inheritable must not reach the child.
  const int leaky = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(leaky, 3);
  // ls lists the descriptors open in itself: 0-2 and the one it reads with.
  EXPECT_EQ(Sh("exec ls /proc/self/fd"), u"0\n1\n2\n3\n");
  ::close(leaky);
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

TEST_F(ProgramPaths, WorkDirIsTheChildsAndRelativeProgramsTheCallers) {
  const fs::path& dir = dir_;
  fs::create_directories(dir / "bin");
  fs::create_directories(dir / "work");
  WriteScript(dir / "bin" / "tool.sh", "echo tool in $(pwd)");
  const std::string work = fs::canonical(dir / "work").string();
  const std::u16string work16 = Utf8ToUtf16(work);
  EXPECT_EQ(Sh("pwd", nullptr, work16.c_str()), work16 + u"\n");

  // A relative program path is taken from the caller's directory, not from
  // workDir, with either separator.
  const fs::path before = fs::current_path();
  fs::current_path(dir);
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
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/bin/true", u"", u"/no/such/dir") ||
               errno != ENOENT);
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/etc/passwd", u"", nullptr) || errno != EACCES);

  // "exe" + " " + args with its terminator must fit 3024 units.
  const std::u16string fits(kMaxCommandLine - 1 - 10, u'x');  // "/bin/true " is 10
  EXPECT_TRUE(ExecuteExternalFileEx(code, output, false, u"/bin/true", fits.c_str(), nullptr));
  const std::u16string tooLong = fits + u"x";
  errno = 0;
  EXPECT_FALSE(ExecuteExternalFileEx(code, output, false, u"/bin/true", tooLong.c_str(), nullptr));
  EXPECT_EQ(errno, E2BIG);
}

TEST(ExecuteExternal, EchoPostsLinesThroughTheProxy) {
  MessageCollector sink;
  const std::u16string output = Sh("printf 'one\\ntwo\\nthree'", nullptr, nullptr, true);
  ASSERT_FALSE(sink.messages.empty());
  std::u16string joined;
  for (const auto& m : sink.messages) {
    joined += m.text;
    EXPECT_TRUE(m.type == CMessagePanelMsg::Output && m.item == nullptr && m.number == -1);
  }
  EXPECT_EQ(joined, output);
  EXPECT_EQ(output, u"one\ntwo\nthree");
  sink.messages.clear();
  CMessageProxy::Instance().SuppressMPNotifications(true);
  Sh("echo quiet", nullptr, nullptr, true);
  CMessageProxy::Instance().SuppressMPNotifications(false);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(ExecuteExternal, OutputBeyondTheCapIsReadAndDropped) {
  ASSERT_EQ(GetCommandOutputCap(), kDefaultCommandOutputCap);
  SetCommandOutputCap(1000);
  MessageCollector sink;
  unsigned long code = 9;
  // The producer is not cut off: it runs to its end and its exit code counts.
  const std::u16string output = Sh("head -c 100000 /dev/zero | tr '\\0' a; exit 3", &code, nullptr, true);
  SetCommandOutputCap(kDefaultCommandOutputCap);
  EXPECT_EQ(output, std::u16string(1000, u'a'));
  EXPECT_EQ(code, 3u);
  std::u16string echoed;
  for (const std::u16string& text : sink.Texts(CMessagePanelMsg::Output)) echoed += text;
  EXPECT_EQ(echoed, output);
  const std::vector<std::u16string> warnings = sink.Texts(CMessagePanelMsg::Warning);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0],
            u"output of /bin/sh: the capture cap is reached (1000 bytes kept); the rest is read and dropped");
  EXPECT_EQ(warnings[1], u"output of /bin/sh: 99000 bytes dropped beyond the cap");
}

// The tool's run of `script`, terminated by `signal` once the script has
// printed the tool's pid and its command's: that command is gone too, ended
// by the same signal.
void ExpectRunTakesItsCommandAlong(int signal, const std::string& script) {
  SCOPED_TRACE(script);
  // Orphans come to this process, which can then see how they ended.
  ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  FILE* out = ::popen(("exec " LOCMODEL_CLI_PATH " run -- /bin/sh -c '" + script + "'").c_str(), "r");
  ASSERT_NE(out, nullptr);
  pid_t tool = 0, command = 0;
  ASSERT_EQ(std::fscanf(out, "%d %d", &tool, &command), 2);
  ASSERT_GT(command, 1);
  ASSERT_EQ(::kill(tool, signal), 0);
  int status = ::pclose(out);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
  bool ended = false;
  for (int i = 0; i < 500 && !(ended = ::waitpid(command, &status, WNOHANG) == command); ++i)
    ::usleep(10000);
  if (!ended) ::kill(command, SIGKILL), ::waitpid(command, &status, 0);
  EXPECT_TRUE(ended) << "the command outlived the tool";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
  while (::waitpid(-1, &status, WNOHANG) > 0) continue;
  ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST(RunCommand, TerminatingTheToolTerminatesItsCommand) {
  // The command itself, and what the command started in the background.
  const char* const itself = "echo $PPID $$; exec sleep 60", *background = "sleep 60 & echo $PPID $!; wait";
  for (const auto& [signal, script] : {std::pair{SIGTERM, itself}, {SIGINT, itself}, {SIGHUP, itself},
                                       {SIGTERM, background}, {SIGHUP, background}})
    ExpectRunTakesItsCommandAlong(signal, script);
}

TEST_F(OpenLink, PostsTheResourceMessageOnlyWhenTheHandlerFails) {
  const std::string oldPath = std::getenv("PATH");
  locmodel::RegisterStringTable({{15350, u"Cannot open %s (100%%)"}});
  const struct {
    const char* handler;  // the exit of the xdg-open the link goes to
    std::u16string link;
    std::string seen;        // what that handler was given
    std::u16string message;  // empty: none
  } cases[] = {
      {"exit 4", u"-odd\\name.txt", "./-odd/name.txt", u"Cannot open -odd\\name.txt (100%)"},  // a path, never an option
      {"exit 0", u"https://example.org/a\\b", "https://example.org/a\\b", u""},  // a link keeps its text
  };
  for (const auto& c : cases) {
    const fs::path bin = dir_ / c.handler;
    fs::create_directories(bin);
    WriteScript(bin / "xdg-open", std::string("printf '%s\\n' \"$1\" > \"$(dirname \"$0\")/arg\"; ") + c.handler);
    MessageCollector sink;
    ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    LinkExecute(c.link.c_str(), 1);
    ::setenv("PATH", oldPath.c_str(), 1);
    std::string seen;
    std::ifstream arg(bin / "arg");
    std::getline(arg, seen);
    EXPECT_EQ(seen, c.seen);
    EXPECT_EQ(sink.messages.size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty() && !sink.messages.empty()) {
      EXPECT_EQ(sink.messages[0].text, c.message);
      EXPECT_EQ(sink.messages[0].type, CMessagePanelMsg::LinkFailure);
    }
  }
  locmodel::ClearStringTables();
}

}  // namespace
