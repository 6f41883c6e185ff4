// Internal: every operating-system call of the file, path and process helpers
// sits here, so that the helpers above read like their Windows originals and
// a port to another system touches one file pair.
//
// Paths are native (UTF-8, "/" separators). Failing functions return false,
// -1 or empty and leave errno saying why; nothing throws.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "locmodel/util/file_util.h"

namespace locmodel::platform {

// --- Files -----------------------------------------------------------------

// A read-only descriptor of a regular file, -1 otherwise (a directory, FIFO
// or device gives EISDIR or EINVAL; opening never blocks on a FIFO).
int OpenRegularForRead(const std::string& path);
// Creates or truncates a regular file for writing; -1 for anything else.
int CreateRegularForWrite(const std::string& path);
// read(2) retried on EINTR: bytes read, 0 at the end, -1 on failure.
long ReadSome(int fd, void* buffer, size_t size);
// pread(2) retried on EINTR and short reads; the count actually read.
size_t ReadAt(int fd, uint64_t offset, void* buffer, size_t size);
bool WriteAll(int fd, const void* data, size_t size);
// Closes and reports close's own failure (where full disks and network
// file systems speak); errno survives a successful close.
bool Close(int fd);
// The size of an open file, -1 on failure.
int64_t FileSize(int fd);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
bool RemoveFile(const std::string& path);

// Removes the folder `path` with everything in it, never following a
// symbolic link; a `path` that is itself a link loses only the link. Stops
// at the first failure (false, errno set).
bool RemoveTree(const std::string& path);

// --- Memory ------------------------------------------------------------------

// Asks the kernel to back the whole 2 MB pages inside [data, data + size),
// not yet touched, with huge pages: one page fault per 2 MB instead of one
// per 4 KB. Only advice: kernels without transparent huge pages ignore it.
void AdviseHugePages(void* data, size_t size);

// --- Whole-file replacement -------------------------------------------------

// How a replacement ended: done, or the step that failed (errno says why,
// except for kRefused: the name holds neither a regular file nor a link).
enum class ReplaceStep { kDone, kRefused, kCreate, kWrite, kReplace };

// Puts a new file, which `write` fills through the name it is given, in
// the place of `target`. See locmodel::ReplaceFileWith for the rules.
ReplaceStep ReplaceFile(const std::string& target, const ReplaceOptions& options,
                        const std::function<bool(const std::string& name)>& write);

// --- Locations -------------------------------------------------------------

// $TMPDIR when it names a directory, else "/tmp".
std::string TempDir();
// A fresh unique name "<TempDir>/LOCxxxxxx.tmp" whose file was created and
// removed again; empty when none could be made.
std::string MakeTempName();
// The running executable, empty when /proc/self/exe cannot be read.
std::string ExecutablePath();
// $XDG_DATA_HOME when absolute, else <home>/.local/share; empty when
// neither is known.
std::string DataHome();
// The process's current directory, empty on failure.
std::string CurrentDir();

// The system's text for `error` (no line end).
std::string ErrorText(int error);

// --- Processes -------------------------------------------------------------

struct Child {
  pid_t pid = -1;
  int output = -1;  // read end of the pipe carrying stdout and stderr
};

// Starts `argv` (argv[0] searched in PATH when it has no "/") with standard
// output and error on a new pipe, standard input on /dev/null, in `workDir`
// (empty: ours), with every other descriptor closed and signals reset, as
// the leader of a process group of its own, which is remembered until
// WaitChild reaps the child (up to 64 at once; more run unremembered).
bool SpawnCaptured(const std::vector<std::string>& argv, const std::string& workDir,
                   Child& child);
// Sends `signal` to every remembered group; safe in a signal handler.
void SignalCapturedChildren(int signal);
// Starts `argv` with all standard streams on /dev/null.
bool SpawnDetached(const std::vector<std::string>& argv, pid_t& pid);
// Waits for `pid` alone: its exit code, 128 + the signal for a child that a
// signal killed, kUnknownExitCode when its status was lost.
unsigned long WaitChild(pid_t pid);
// As WaitChild, but gives up after `millis`: false while still running.
bool WaitChildFor(pid_t pid, int millis, unsigned long& exitCode);
// Reaps `pid` later without blocking the caller and without a zombie.
void ReapInBackground(pid_t pid);

}  // namespace locmodel::platform
