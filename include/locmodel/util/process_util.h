// External commands and documents: running a Windows-style command line with
// its output captured (and echoed to the message panel), and opening a
// document or link with the desktop's handler.
//
// A command line is split into arguments by the rules of the Microsoft C
// runtime, the rules its program would have applied on Windows; no shell
// ever sees it. Unlike CreateProcess, a program path containing blanks must
// be quoted: nothing guesses where an unquoted one ends.
#pragma once

#include <string>
#include <vector>

// The longest command line, in UTF-16 units with its terminator.
inline constexpr size_t kMaxCommandLine = 3024;

// Exit code reported when the status of a child was lost (a host that
// ignores SIGCHLD has the system reap its children).
inline constexpr unsigned long kExitCodeUnknown = 0xFFFFFFFFul;

// The most bytes of a command's output ExecuteExternalFileEx keeps, unless
// the host sets another cap: a command that prints more would otherwise
// hold twice its output's size in memory, and an endless one all of it.
inline constexpr size_t kDefaultCommandOutputCap = size_t{256} << 20;

// The cap for commands started afterwards (process-wide; any thread).
void SetCommandOutputCap(size_t bytes);
size_t GetCommandOutputCap();

// Runs the command line `exe` + " " + `args` (just `exe` when `args` is
// null or empty) in `workDir` (null or empty: the caller's directory), with
// standard input at its end and standard output and error captured
// together in `output` (decoded from UTF-8; invalid bytes become U+FFFD).
// `exitCode` receives the exit status, 128 + the signal number for a child
// a signal killed, or kExitCodeUnknown.
//
// Output beyond the cap (GetCommandOutputCap) is read to its end, so that
// the command runs on as it would have, but dropped: `output` ends with the
// last whole character within the cap. A CMessagePanelMsg of type 3 (a
// warning) is posted when the cap is reached, and another with the number
// of bytes dropped when the output ends.
//
// The program (the first argument) is searched in PATH when it has no
// separator; otherwise it is a path relative to the caller's directory, not
// to `workDir`.
//
// With `echo`, output lines are posted as they arrive: after each block read
// at most one line (up to and including its first CR or LF), and the
// unsent rest as one message at the end; each is a CMessagePanelMsg of type
// 0 through CMessageProxy::Instance(). The proxy expects one caller at a
// time, so commands may run on several threads at once only without echo.
//
// There is no timeout: reading ends when the child and every descendant
// holding its output have closed it (a command line can use timeout(1)).
// The child leads a process group of its own, so that SignalRunningCommands
// reaches it with everything it started.
//
// False, with errno set and `output` and `exitCode` untouched, when the
// command cannot be started: a line of kMaxCommandLine units or more
// (E2BIG), a missing `workDir` or program (ENOENT), and so on.
bool ExecuteExternalFileEx(unsigned long& exitCode, std::u16string& output, bool echo,
                           const char16_t* exe, const char16_t* args, const char16_t* workDir);

// Sends `signal` to the process group of every command ExecuteExternalFileEx
// is running. Safe in a signal handler: a host that is being terminated
// calls it from its handler so that no command outlives it. (At most 64
// commands running at once are reached.)
void SignalRunningCommands(int signal);

// ExecuteExternalFileEx; true only when the command started and exited 0.
bool ExecuteExternalFile(std::u16string& output, bool echo, const char16_t* exe,
                         const char16_t* args, const char16_t* workDir);

// Opens `target` (a URL, "mailto:" address or path) with xdg-open, run
// without a shell. When it cannot be started or exits non-zero within five
// seconds, posts a CMessagePanelMsg of type 1 whose text is the string
// resource 15350 with `target` in place of its "%s". A handler still running
// after five seconds counts as success. `showCmd` has no meaning here.
void LinkExecute(std::u16string target, int showCmd);

// The arguments of a command line: the program name runs to the first blank
// or tab outside quotes, quotes removed and backslashes literal. Then blanks
// and tabs separate arguments, double quotes group, 2n backslashes before a
// quote give n and the quote opens or closes a quoted part, 2n + 1 give n
// and a literal quote, other backslashes are literal, and inside a quoted
// part "" gives one literal quote.
std::vector<std::u16string> SplitCommandLine(const std::u16string& line);

// `arg` written so that SplitCommandLine gives it back unchanged as one
// argument (not as the program name).
std::u16string QuoteCommandLineArg(const std::u16string& arg);
