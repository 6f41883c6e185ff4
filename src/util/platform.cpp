#include "util/platform.h"

#include "locmodel/util/process_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>
#include <thread>

extern char** environ;

namespace locmodel::platform {
namespace {

// Keeps errno of the failure across the cleanup that follows it.
class SavedErrno {
 public:
  SavedErrno() : saved_(errno) {}
  ~SavedErrno() { errno = saved_; }

 private:
  int saved_;
};

void CloseQuietly(int fd) {
  SavedErrno keep;
  ::close(fd);
}

// Opens without blocking (a FIFO without a writer would wait forever) and
// keeps the descriptor only when it is a regular file.
int OpenRegular(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    CloseQuietly(fd);
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

int OpenRegularForRead(const std::string& path) { return OpenRegular(path, O_RDONLY); }

int CreateRegularForWrite(const std::string& path) {
  // Truncation waits until the descriptor is known to be a regular file: a
  // device or FIFO must not be touched at all.
  const int fd = OpenRegular(path, O_WRONLY | O_CREAT);
  if (fd >= 0 && ::ftruncate(fd, 0) != 0) {
    CloseQuietly(fd);
    return -1;
  }
  return fd;
}

long ReadSome(int fd, void* buffer, size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

size_t ReadAt(int fd, uint64_t offset, void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, static_cast<char*>(buffer) + done, size - done,
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = ::write(fd, p, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool Close(int fd) {
  const int saved = errno;
  if (::close(fd) != 0) return false;
  errno = saved;
  return true;
}

int64_t FileSize(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

void AdviseHugePages(void* data, size_t size) {
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  const auto start = reinterpret_cast<uintptr_t>(data);
  const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (start + size) & ~(kHugePage - 1);
  if (first < end) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
  return S_ISDIR(st.st_mode);
}

bool RemoveFile(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    errno = EISDIR;  // unlink of a directory: refused, as a file deletion
    return false;
  }
  return ::unlink(path.c_str()) == 0;
}

// --- Folder removal ----------------------------------------------------------
//
// The walk holds at most kOpenDirs directory streams, so neither the stack
// nor the descriptor limit bounds the depth. A directory whose stream was
// closed to make room is reopened through ".." of its child and accepted
// only when device and inode match what was recorded on the way down; it is
// then read from its start again, which costs nothing because every entry
// seen before is gone. Every directory is opened relative to its parent
// with O_NOFOLLOW, so an entry swapped for a link during the walk stops it
// instead of leading it outside.
namespace {

constexpr size_t kOpenDirs = 16;

struct Frame {
  DIR* dir = nullptr;  // null while closed to save descriptors
  dev_t dev = 0;
  ino_t ino = 0;
  std::string name;  // in the parent
};

class TreeRemover {
 public:
  ~TreeRemover() {
    SavedErrno keep;
    for (Frame& f : frames_)
      if (f.dir) ::closedir(f.dir);
    if (fd_ >= 0) ::close(fd_);
  }

  bool Run(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return ::unlink(path.c_str()) == 0;
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0 || !Push(std::string(), fd_)) return false;
    fd_ = -1;
    while (!frames_.empty()) {
      if (!Step()) return false;
    }
    return ::rmdir(path.c_str()) == 0;
  }

 private:
  // Adopts `fd` as the stream of a new innermost frame.
  bool Push(std::string name, int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    if (!(st.st_mode & S_IWUSR) && ::fchmod(fd, st.st_mode | S_IWUSR) != 0) return false;
    Frame frame{::fdopendir(fd), st.st_dev, st.st_ino, std::move(name)};
    if (!frame.dir) return false;
    frames_.push_back(std::move(frame));
    if (++open_ > kOpenDirs) {
      for (Frame& f : frames_)
        if (f.dir) {
          CloseDir(f.dir);
          f.dir = nullptr;
          break;
        }
    }
    return true;
  }

  // Handles one entry of the innermost directory, or leaves it when empty.
  bool Step() {
    Frame& top = frames_.back();
    errno = 0;
    const dirent* entry = ::readdir(top.dir);
    if (!entry) return errno == 0 && Pop();
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return true;
    const int dirFd = ::dirfd(top.dir);
    bool isDir = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat st;
      if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
      isDir = S_ISDIR(st.st_mode);
    }
    if (!isDir) return ::unlinkat(dirFd, name, 0) == 0;
    const int child = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (child < 0) return false;
    if (!Push(name, child)) {
      CloseQuietly(child);
      return false;
    }
    return true;
  }

  // Closes the empty innermost directory and removes it from its parent.
  bool Pop() {
    Frame done = std::move(frames_.back());
    frames_.pop_back();
    const bool reachable = frames_.empty() || frames_.back().dir || Reopen(done);
    CloseDir(done.dir);
    if (frames_.empty()) return true;
    return reachable &&
           ::unlinkat(::dirfd(frames_.back().dir), done.name.c_str(), AT_REMOVEDIR) == 0;
  }

  // Gives the parent of `child` its stream back, through "..".
  bool Reopen(const Frame& child) {
    Frame& parent = frames_.back();
    const int up = ::openat(::dirfd(child.dir), "..", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (up < 0) return false;
    struct stat st;
    if (::fstat(up, &st) != 0 || st.st_dev != parent.dev || st.st_ino != parent.ino) {
      ::close(up);
      errno = ESTALE;  // the tree was moved while we walked it
      return false;
    }
    parent.dir = ::fdopendir(up);
    if (!parent.dir) {
      CloseQuietly(up);
      return false;
    }
    ++open_;
    return true;
  }

  void CloseDir(DIR* dir) {
    SavedErrno keep;
    ::closedir(dir);
    --open_;
  }

  std::vector<Frame> frames_;
  size_t open_ = 0;
  int fd_ = -1;
};

}  // namespace

bool RemoveTree(const std::string& path) { return TreeRemover().Run(path); }

// --- Whole-file replacement ----------------------------------------------------
//
// The new file lives beside the target, so that the rename is one step of
// the same file system. Where it has a name, the name is
// "<target>.locmodel-XXXXXX", and the file is flock()ed for as long as its
// writer runs: a name with that pattern whose file nobody locks belongs to
// a writer that died, and the next replacement of the same target removes
// it, with anything the writer put beside it ("<name>-journal"). flock and
// the POSIX locks that databases take on the same file do not interfere.
namespace {

constexpr char kTempMark[] = ".locmodel-";
constexpr size_t kTempRandom = 6;

std::string RandomSuffix() {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::string suffix;
  for (size_t i = 0; i < kTempRandom; ++i) suffix.push_back(kChars[random() % (sizeof kChars - 1)]);
  return suffix;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` in `dir` still is the file open as `fd`.
bool StillNamed(int dir, const std::string& name, int fd) {
  struct stat byName, byFd;
  return ::fstatat(dir, name.c_str(), &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
         SameFile(byName, byFd);
}

// Locks `fd` for its writer; false only when another holds the lock (a
// file system without flock leaves the file unlocked, and then unremoved).
bool LockForWriter(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK; }

// The names in `dir` that start with `prefix`.
std::vector<std::string> NamesStartingWith(int dir, const std::string& prefix) {
  std::vector<std::string> found;
  const int scan = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* stream = scan < 0 ? nullptr : ::fdopendir(scan);
  if (!stream) {
    if (scan >= 0) CloseQuietly(scan);
    return found;
  }
  while (const dirent* entry = ::readdir(stream))
    if (std::string_view(entry->d_name).starts_with(prefix)) found.emplace_back(entry->d_name);
  SavedErrno keep;
  ::closedir(stream);
  return found;
}

// Removes what replacements of `base` that died left in `dir`, best effort.
void RemoveLeftovers(int dir, const std::string& base) {
  const std::string prefix = base + kTempMark;
  const size_t stemSize = prefix.size() + kTempRandom;
  for (const std::string& name : NamesStartingWith(dir, prefix)) {
    if (name.size() < stemSize || (name.size() > stemSize && name[stemSize] != '-')) continue;
    const std::string stem = name.substr(0, stemSize);
    const int fd = ::openat(dir, stem.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      // A writer's sibling outlives its file only when the writer died.
      if (errno == ENOENT && name != stem) ::unlinkat(dir, name.c_str(), 0);
      continue;
    }
    struct stat st;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        StillNamed(dir, stem, fd))
      ::unlinkat(dir, name.c_str(), 0);
    ::close(fd);
  }
}

// Removes the named new file of a failed replacement, and what its writer
// left beside it (a database's journal after a failed write).
void RemoveNewFile(int dir, const std::string& name) {
  SavedErrno keep;
  ::unlinkat(dir, name.c_str(), 0);
  for (const std::string& sibling : NamesStartingWith(dir, name + "-")) ::unlinkat(dir, sibling.c_str(), 0);
}

// The file being written: open as `fd` (locked), and named `name` in the
// folder unless it is an unnamed O_TMPFILE.
struct NewFile {
  int fd = -1;
  std::string name;

  ~NewFile() {
    if (fd >= 0) CloseQuietly(fd);
  }
  bool unnamed() const { return name.empty(); }
};

// A new empty file with `mode` (less the umask, as for any new file).
bool CreateNewFile(int dir, const std::string& base, mode_t mode, bool unnamed, NewFile& file) {
  if (unnamed) {
    file.fd = ::openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    // The writer reaches the file through /proc; without either, it gets a name.
    struct stat viaProc, st;
    if (file.fd >= 0 && ::stat(("/proc/self/fd/" + std::to_string(file.fd)).c_str(), &viaProc) == 0 &&
        ::fstat(file.fd, &st) == 0 && SameFile(viaProc, st) && LockForWriter(file.fd))
      return true;
    if (file.fd >= 0) CloseQuietly(file.fd);
    file.fd = -1;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    file.name = base + kTempMark + RandomSuffix();
    file.fd = ::openat(dir, file.name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (file.fd < 0 && errno != EEXIST) return false;
    // Between creating and locking, another replacement's cleanup may have
    // taken the file for a leftover.
    if (file.fd >= 0 && LockForWriter(file.fd) && StillNamed(dir, file.name, file.fd)) return true;
    if (file.fd >= 0) CloseQuietly(file.fd);
    file.fd = -1;
  }
  errno = EEXIST;
  return false;
}

// Gives the new file what the replaced one had: owner and group where the
// process may set them, and the permissions (set-ID bits aside: the
// content is no longer what was trusted with them).
void KeepAttributes(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  ::fchmod(fd, old.st_mode & 07777 & ~(S_ISUID | S_ISGID));
}

// Names the complete unnamed file in `dir`.
bool LinkIn(int dir, const std::string& base, NewFile& file) {
  const std::string proc = "/proc/self/fd/" + std::to_string(file.fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = base + kTempMark + RandomSuffix();
    if (::linkat(AT_FDCWD, proc.c_str(), dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      file.name = std::move(name);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace

ReplaceStep ReplaceFile(const std::string& target, const ReplaceOptions& options,
                        const std::function<bool(const std::string& name)>& write) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty() || base == "." || base == "..") return ReplaceStep::kRefused;
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return ReplaceStep::kCreate;
  struct Closer {
    int fd;
    ~Closer() { CloseQuietly(fd); }
  } closeDir{dir};

  // A link is replaced, not followed; anything but a regular file (a
  // device, a FIFO, a folder) is left alone.
  struct stat old;
  const bool exists = ::fstatat(dir, base.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  if (!exists && errno != ENOENT) return ReplaceStep::kCreate;
  if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode)) return ReplaceStep::kRefused;
  const bool keep = exists && S_ISREG(old.st_mode);

  RemoveLeftovers(dir, base);
  NewFile file;
  // A file that replaces another stays private until it has its permissions.
  if (!CreateNewFile(dir, base, keep ? 0600 : 0666, options.unnamed, file)) return ReplaceStep::kCreate;
  if (keep) KeepAttributes(file.fd, old);
  const bool unnamed = file.unnamed();
  const std::string writerName =
      unnamed ? "/proc/self/fd/" + std::to_string(file.fd) : (slash == std::string::npos ? "" : folder) + file.name;
  ReplaceStep step = ReplaceStep::kDone;
  if (!write(writerName) || (options.sync && ::fsync(file.fd) != 0))
    step = ReplaceStep::kWrite;
  else if ((unnamed && !LinkIn(dir, base, file)) || ::renameat(dir, file.name.c_str(), dir, base.c_str()) != 0)
    step = ReplaceStep::kReplace;
  if (step != ReplaceStep::kDone) {
    if (!file.name.empty()) RemoveNewFile(dir, file.name);
    return step;
  }
  // The rename itself reaches the disk with the folder. A file system that
  // cannot sync folders (EINVAL) has nothing more to offer.
  if (options.sync && ::fsync(dir) != 0 && errno != EINVAL) return ReplaceStep::kReplace;
  return ReplaceStep::kDone;
}

// --- Locations ---------------------------------------------------------------

std::string TempDir() {
  const char* tmp = std::getenv("TMPDIR");
  struct stat st;
  if (tmp && *tmp && ::stat(tmp, &st) == 0 && S_ISDIR(st.st_mode)) return tmp;
  return "/tmp";
}

std::string MakeTempName() {
  std::string name = TempDir();
  if (name.back() != '/') name += '/';
  name += "LOCXXXXXX.tmp";
  const int fd = ::mkstemps(name.data(), 4);
  if (fd < 0) return std::string();
  ::close(fd);
  ::unlink(name.c_str());
  return name;
}

std::string ExecutablePath() {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t got = ::readlink("/proc/self/exe", target.data(), target.size());
    if (got < 0) return std::string();
    if (static_cast<size_t>(got) < target.size()) {
      target.resize(static_cast<size_t>(got));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

std::string DataHome() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  std::string home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else {
    struct passwd entry, *found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
      home = found->pw_dir;
  }
  if (home.empty()) return home;
  if (home.back() != '/') home += '/';
  return home + ".local/share";
}

std::string CurrentDir() {
  std::string dir(256, '\0');
  while (!::getcwd(dir.data(), dir.size())) {
    if (errno != ERANGE) return std::string();
    dir.resize(dir.size() * 2);
  }
  dir.resize(std::strlen(dir.c_str()));
  return dir;
}

std::string ErrorText(int error) {
  char buffer[256];
  // The GNU strerror_r returns its text, which may not be `buffer`.
  return ::strerror_r(error, buffer, sizeof buffer);
}

// --- Processes -------------------------------------------------------------

namespace {

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& a : argv) pointers.push_back(const_cast<char*>(a.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// File actions and attributes shared by both kinds of child; the destructor
// releases them however the start ends.
class SpawnSetup {
 public:
  SpawnSetup() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawnattr_init(&attr_);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    ::posix_spawnattr_setsigmask(&attr_, &none);
    ::posix_spawnattr_setsigdefault(&attr_, &all);
    ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attr_);
  }
  posix_spawn_file_actions_t* actions() { return &actions_; }
  // The child leads a process group of its own.
  void NewProcessGroup() {
    short flags = 0;
    ::posix_spawnattr_getflags(&attr_, &flags);
    ::posix_spawnattr_setflags(&attr_, static_cast<short>(flags | POSIX_SPAWN_SETPGROUP));
    ::posix_spawnattr_setpgroup(&attr_, 0);
  }

  bool Start(const std::vector<std::string>& argv, pid_t& pid) {
    ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
    std::vector<char*> args = ArgvPointers(argv);
    const int rc = ::posix_spawnp(&pid, args[0], &actions_, &attr_, args.data(), environ);
    if (rc != 0) errno = rc;
    return rc == 0;
  }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attr_;
};

// The process groups of the captured children still running, for
// SignalCapturedChildren: lock-free slots, so that a signal handler may read
// them. 0 is a free slot.
constexpr size_t kGroupSlots = 64;
std::atomic<pid_t> capturedGroups[kGroupSlots];

void RememberGroup(pid_t group) {
  for (std::atomic<pid_t>& slot : capturedGroups) {
    pid_t expected = 0;
    if (slot.compare_exchange_strong(expected, group)) return;
  }
}

void ForgetGroup(pid_t group) {
  for (std::atomic<pid_t>& slot : capturedGroups) {
    pid_t expected = group;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

// Holds back the termination signals on this thread for its lifetime, so
// that a handler cannot run between the start of a child and the moment its
// group is remembered.
class HeldTerminationSignals {
 public:
  HeldTerminationSignals() {
    sigset_t held;
    sigemptyset(&held);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&held, sig);
    ::pthread_sigmask(SIG_BLOCK, &held, &saved_);
  }
  ~HeldTerminationSignals() { ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
  HeldTerminationSignals(const HeldTerminationSignals&) = delete;
  HeldTerminationSignals& operator=(const HeldTerminationSignals&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace

bool SpawnCaptured(const std::vector<std::string>& argv, const std::string& workDir,
                   Child& child) {
  int fds[2];
  if (argv.empty() || ::pipe2(fds, O_CLOEXEC) != 0) return false;
  SpawnSetup setup;
  // The write end lands on 1 and 2 (dup2 clears close-on-exec there).
  ::posix_spawn_file_actions_addopen(setup.actions(), 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(setup.actions(), fds[1], 1);
  ::posix_spawn_file_actions_adddup2(setup.actions(), fds[1], 2);
  if (!workDir.empty()) ::posix_spawn_file_actions_addchdir_np(setup.actions(), workDir.c_str());
  setup.NewProcessGroup();
  HeldTerminationSignals held;
  const bool started = setup.Start(argv, child.pid);
  if (started) RememberGroup(child.pid);
  CloseQuietly(fds[1]);
  if (!started) {
    CloseQuietly(fds[0]);
    return false;
  }
  child.output = fds[0];
  return true;
}

bool SpawnDetached(const std::vector<std::string>& argv, pid_t& pid) {
  if (argv.empty()) return false;
  SpawnSetup setup;
  ::posix_spawn_file_actions_addopen(setup.actions(), 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(setup.actions(), 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(setup.actions(), 2, "/dev/null", O_WRONLY, 0);
  return setup.Start(argv, pid);
}

namespace {

unsigned long ExitCodeOf(int status) {
  if (WIFSIGNALED(status)) return 128ul + static_cast<unsigned long>(WTERMSIG(status));
  return static_cast<unsigned long>(WEXITSTATUS(status));
}

}  // namespace

void SignalCapturedChildren(int signal) {
  for (const std::atomic<pid_t>& slot : capturedGroups) {
    if (const pid_t group = slot.load(); group > 0) ::kill(-group, signal);
  }
}

unsigned long WaitChild(pid_t pid) {
  // A captured child's group is forgotten before the child is reaped: until
  // then its id cannot name another process.
  siginfo_t info;
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  ForgetGroup(pid);
  int status = 0;
  for (;;) {
    if (::waitpid(pid, &status, 0) == pid) return ExitCodeOf(status);
    if (errno != EINTR) return kExitCodeUnknown;
  }
}

bool WaitChildFor(pid_t pid, int millis, unsigned long& exitCode) {
  const struct timespec step = {0, 10 * 1000 * 1000};
  for (int waited = 0;; waited += 10) {
    int status = 0;
    const pid_t got = ::waitpid(pid, &status, WNOHANG);
    if (got == pid) {
      exitCode = ExitCodeOf(status);
      return true;
    }
    if (got < 0 && errno != EINTR) {
      exitCode = kExitCodeUnknown;
      return true;
    }
    if (waited >= millis) return false;
    ::nanosleep(&step, nullptr);
  }
}

void ReapInBackground(pid_t pid) {
  std::thread([pid] { WaitChild(pid); }).detach();
}

}  // namespace locmodel::platform
