#include "locmodel/util/process_util.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>

#include "locmodel/lang/lang_text.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"
#include "util/command_output.h"
#include "util/platform.h"

namespace platform = locmodel::platform;

namespace {

std::atomic<size_t> outputCap{kDefaultCommandOutputCap};

std::u16string_view ViewOf(const char16_t* p) { return p ? std::u16string_view(p) : std::u16string_view(); }

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

void Post(std::u16string text, CMessagePanelMsg::CMsgType type) {
  const CMessagePanelMsg message(std::move(text), type, nullptr, std::u16string(),
                                 std::u16string(), -1);
  CMessageProxy::Instance().OnNotifyMsg(IMessager::MessagePanel, &message);
}

// `format` with `arg` in place of its first "%s" and "%%" as "%"; any other
// "%" stays. Host text never reaches a printf-style formatter.
std::u16string FormatOne(const std::u16string& format, const std::u16string& arg) {
  std::u16string out;
  bool used = false;
  for (size_t i = 0; i < format.size(); ++i) {
    const char16_t next = i + 1 < format.size() ? format[i + 1] : u'\0';
    if (format[i] == u'%' && next == u'%') {
      out += u'%';
      ++i;
    } else if (format[i] == u'%' && next == u's' && !used) {
      out += arg;
      used = true;
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

// The program as the system will look it up: a bare name is searched in
// PATH; a path is taken from the caller's directory before the child moves
// to its own. Empty (errno set) on failure.
std::string ProgramPath(const std::u16string& name) {
  if (name.find_first_of(u"\\/") == std::u16string::npos) return locmodel::Utf16ToUtf8(name);
  std::string path = locmodel::NativePath(name);
  if (path[0] == '/') return path;
  const std::string cwd = platform::CurrentDir();
  return cwd.empty() ? cwd : cwd + "/" + path;
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(const std::u16string& line) {
  std::vector<std::u16string> args;
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return args;
  std::u16string program;
  for (bool quoted = false; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
    if (line[i] == u'"') {
      quoted = !quoted;
    } else {
      program += line[i];
    }
  }
  args.push_back(std::move(program));
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i == line.size()) return args;
    std::u16string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
      size_t slashes = 0;
      while (i < line.size() && line[i] == u'\\') ++slashes, ++i;
      if (i < line.size() && line[i] == u'"') {
        arg.append(slashes / 2, u'\\');
        if (slashes % 2 == 1) {
          arg += u'"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
          arg += u'"';  // "" inside a quoted part
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else if (slashes > 0) {
        arg.append(slashes, u'\\');
      } else {
        arg += line[i++];
      }
    }
    args.push_back(std::move(arg));
  }
}

std::u16string QuoteCommandLineArg(const std::u16string& arg) {
  if (!arg.empty() && arg.find_first_of(u" \t\"") == std::u16string::npos) return arg;
  std::u16string out = u"\"";
  size_t slashes = 0;
  for (const char16_t c : arg) {
    if (c == u'\\') {
      ++slashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == u'"' ? 2 * slashes + 1 : slashes, u'\\');
    slashes = 0;
    out += c;
  }
  out.append(2 * slashes, u'\\');  // they stand before the closing quote
  out += u'"';
  return out;
}

void SetCommandOutputCap(size_t bytes) { outputCap.store(bytes, std::memory_order_relaxed); }

size_t GetCommandOutputCap() { return outputCap.load(std::memory_order_relaxed); }

void SignalRunningCommands(int signal) { platform::SignalCapturedChildren(signal); }

bool ExecuteExternalFileEx(unsigned long& exitCode, std::u16string& output, bool echo,
                           const char16_t* exe, const char16_t* args, const char16_t* workDir) {
  // No blank after `exe` alone: a quote `exe` leaves open would take it in.
  std::u16string line(ViewOf(exe));
  if (!ViewOf(args).empty()) {
    line += u' ';
    line += ViewOf(args);
  }
  if (line.size() >= kMaxCommandLine) {
    errno = E2BIG;
    return false;
  }
  const std::vector<std::u16string> words = SplitCommandLine(line);
  if (words.empty() || words[0].empty()) {
    errno = ENOENT;
    return false;
  }
  // A missing directory and a missing program both come back from the
  // child as ENOENT; checking the directory first names the right one.
  const std::string dir = workDir && *workDir ? locmodel::NativePath(workDir) : std::string();
  if (!dir.empty() && !platform::IsDirectory(dir)) return false;
  std::vector<std::string> argv;
  argv.push_back(ProgramPath(words[0]));
  if (argv[0].empty()) return false;
  for (size_t i = 1; i < words.size(); ++i) argv.push_back(locmodel::Utf16ToUtf8(words[i]));

  platform::Child child;
  if (!platform::SpawnCaptured(argv, dir, child)) return false;
  locmodel::CommandOutput collected(GetCommandOutputCap());
  const auto warn = [&argv](const std::string& what) {
    Post(locmodel::Utf8ToUtf16("output of " + argv[0] + ": " + what), CMessagePanelMsg::Warning);
  };
  std::u16string message;
  std::string block(10000, '\0');
  long got;
  while ((got = platform::ReadSome(child.output, block.data(), block.size())) > 0) {
    const bool wasCut = collected.dropped() > 0;
    collected.Append(block.data(), static_cast<size_t>(got));
    if (wasCut) continue;
    if (echo && collected.NextLine(message)) Post(std::move(message), CMessagePanelMsg::Output);
    if (collected.dropped() > 0) {
      // Echo all that was kept, then say why nothing more comes.
      if (echo && collected.Rest(message)) Post(std::move(message), CMessagePanelMsg::Output);
      warn("the capture cap is reached (" + std::to_string(collected.kept()) +
           " bytes kept); the rest is read and dropped");
    }
  }
  platform::Close(child.output);
  collected.Finish();
  if (echo && collected.Rest(message)) Post(std::move(message), CMessagePanelMsg::Output);
  exitCode = platform::WaitChild(child.pid);
  if (collected.dropped() > 0) warn(std::to_string(collected.dropped()) + " bytes dropped beyond the cap");
  output = collected.TakeText();
  return true;
}

bool ExecuteExternalFile(std::u16string& output, bool echo, const char16_t* exe,
                         const char16_t* args, const char16_t* workDir) {
  unsigned long exitCode = 0;
  return ExecuteExternalFileEx(exitCode, output, echo, exe, args, workDir) && exitCode == 0;
}

void LinkExecute(std::u16string target, int /*showCmd*/) {
  constexpr int kWaitMillis = 5000;
  const bool isLink = target.find(u"://") != std::u16string::npos ||
                      std::u16string_view(target).substr(0, 7) == u"mailto:";
  std::string arg = isLink ? locmodel::Utf16ToUtf8(target) : locmodel::NativePath(target);
  if (!arg.empty() && arg[0] == '-') arg = "./" + arg;  // never an option of xdg-open
  pid_t pid = -1;
  unsigned long exitCode = 0;
  bool opened = platform::SpawnDetached({"xdg-open", arg}, pid);
  if (opened && !platform::WaitChildFor(pid, kWaitMillis, exitCode)) {
    platform::ReapInBackground(pid);  // a handler in the foreground: still fine
  } else if (opened) {
    opened = exitCode == 0 || exitCode == kExitCodeUnknown;
  }
  if (!opened) Post(FormatOne(L(15350), target), CMessagePanelMsg::LinkFailure);
}
