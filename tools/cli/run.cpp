// run: an external command through the library, its output echoed as the
// message panel would receive it.
#include <signal.h>

#include <array>
#include <filesystem>

#include "cli/command.h"
#include "cli/json.h"
#include "cli/warnings.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/process_util.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

// Prints each echoed message as it is posted, registered for its lifetime.
class EchoSink final : public IMessager {
 public:
  EchoSink(std::ostream& out, bool json) : out_(out), json_(json) {
    CMessageProxy::Instance().Register(*this);
  }
  ~EchoSink() override { CMessageProxy::Instance().Unregister(*this); }

  void OnNotifyMsg(CMgsId id, const void* data) override {
    if (id != MessagePanel) return;
    const auto& message = *static_cast<const CMessagePanelMsg*>(data);
    if (message.type != CMessagePanelMsg::Output) return;
    const std::u16string& text = message.text;
    if (json_) {
      std::string line = "{\"message\":";
      AppendJsonString(line, text);
      out_ << line << "}\n";
    } else {
      out_ << Utf16ToUtf8(text);
    }
    out_.flush();
  }

 private:
  std::ostream& out_;
  bool json_;
};

// While the command runs, TERM, INT and HUP end it, with everything it
// started, before they end the tool as they would have. A signal the tool
// was started ignoring (nohup) stays ignored.
class ForwardTermination {
 public:
  ForwardTermination() {
    for (size_t i = 0; i < kSignals.size(); ++i) {
      struct sigaction forward = {};
      forward.sa_handler = Forward;
      forward.sa_flags = SA_RESETHAND;  // the default action when it is raised again
      sigemptyset(&forward.sa_mask);
      ::sigaction(kSignals[i], nullptr, &saved_[i]);
      if (saved_[i].sa_handler != SIG_IGN) ::sigaction(kSignals[i], &forward, nullptr);
    }
  }
  ~ForwardTermination() {
    for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &saved_[i], nullptr);
  }
  ForwardTermination(const ForwardTermination&) = delete;
  ForwardTermination& operator=(const ForwardTermination&) = delete;

 private:
  static void Forward(int signal) {
    SignalRunningCommands(signal);
    ::raise(signal);  // delivered when the handler returns
  }

  static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
  std::array<struct sigaction, 3> saved_;
};

}  // namespace

int RunRun(const Args& args, std::ostream& out, std::ostream& err) {
  const std::string* cmdline = args.Value("--cmdline");
  const std::string* cwd = args.Value("--cwd");
  const bool json = args.Has("--json");
  if (cmdline && !args.positional.empty())
    return UsageError(err, "run", "give either --cmdline or PROGRAM, not both");
  if (!cmdline && args.positional.empty()) return UsageError(err, "run", "missing PROGRAM");
  std::u16string exe, line;
  if (cmdline) {
    exe = Utf8ToUtf16(*cmdline);
  } else {
    exe = Utf8ToUtf16(args.positional[0]);
    // The program name keeps its backslashes and loses its quotes: it can
    // be quoted as a whole, but cannot hold a quote itself.
    if (exe.find(u'"') != std::u16string::npos)
      return UsageError(err, "run", "a program name cannot contain '\"'");
    if (exe.empty() || exe.find_first_of(u" \t") != std::u16string::npos) exe = u"\"" + exe + u"\"";
    for (size_t i = 1; i < args.positional.size(); ++i) {
      if (i > 1) line += u' ';
      line += QuoteCommandLineArg(Utf8ToUtf16(args.positional[i]));
    }
  }
  const std::u16string dir = cwd ? Utf8ToUtf16(*cwd) : std::u16string();
  unsigned long exitCode = 0;
  std::u16string output;
  bool started;
  {
    EchoSink sink(out, json);
    WarningPrinter warnings(err);
    ForwardTermination forward;
    started = ExecuteExternalFileEx(exitCode, output, !args.Has("--quiet"), exe.c_str(),
                                    line.c_str(), dir.c_str());
  }
  const std::string program = cmdline ? *cmdline : args.positional[0];
  if (!started) {
    std::u16string reason = GetLastErrorStrAndClear();
    // The library looks at the directory before the program, and both fail
    // with the same errno: a directory that is not one is what went wrong.
    std::error_code code;
    const bool badDir = cwd && !std::filesystem::is_directory(NativePath(dir), code);
    if (badDir) reason = dir + u": " + reason;
    if (!json) return Fail(err, (badDir ? "" : "cannot start " + program + ": ") + Utf16ToUtf8(reason));
    std::string closing = "{\"started\":false,\"error\":";
    AppendJsonString(closing, reason);
    out << closing << "}\n";
    return kFailed;
  }
  if (json) {
    out << "{\"started\":true,\"exitCode\":" << exitCode << ",\"output\":";
    WriteJsonString(out, output);
    out << "}\n";
  } else if (exitCode != 0) {
    return Fail(err, program + " exited with code " + std::to_string(exitCode));
  }
  return exitCode == 0 ? kOk : kFailed;
}

}  // namespace locmodel::cli
