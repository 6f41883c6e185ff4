#include "locmodel/util/file_util.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "locmodel/util/str_util.h"
#include "locmodel/util/unicode.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using locmodel::Utf8ToUtf16;

std::u16string U(const fs::path& p) { return Utf8ToUtf16(p.string()); }

void Put(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string Read(const fs::path& p, int maxSize, int& size) {
  unsigned char* data = ReadFile(U(p).c_str(), size, maxSize);
  if (!data) return "<null>";
  std::string bytes(reinterpret_cast<char*>(data), static_cast<size_t>(size));
  locmodel::ReleaseBuffer(data);
  return bytes;
}

// Each test's own folder; loops that want a fresh one per case take a
// subfolder.
class FileUtil : public testing_support::TempDirTest {
 protected:
  fs::path Fresh(const std::string& name) const {
    fs::create_directory(dir_ / name);
    return dir_ / name;
  }
  const fs::path& dir = dir_;
};

// Sets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST_F(FileUtil, ReadsWholeFilesAndPrefixes) {
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += static_cast<char>(i);
  Put(dir / "h.bin", hundred);
  Put(dir / "empty", "");
  int size = -5;
  EXPECT_EQ(Read(dir / "h.bin", 10, size), hundred.substr(0, 10));
  EXPECT_EQ(size, 10);
  EXPECT_EQ(Read(dir / "h.bin", -1, size), hundred);
  EXPECT_EQ(Read(dir / "h.bin", 1000, size), hundred);
  EXPECT_EQ(Read(dir / "empty", -1, size), "");  // non-null, size 0
  EXPECT_EQ(size, 0);
  EXPECT_EQ(GetFileSize(U(dir / "h.bin").c_str()), 100);
  // Backslashes reach the file system as separators.
  EXPECT_EQ(GetFileSize((U(dir) + u"\\h.bin").c_str()), 100);

  // Only regular files: a directory, a FIFO (no blocking) or a device fail.
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  for (const fs::path& p : {dir, dir / "fifo", fs::path("/dev/null"), dir / "missing"}) {
    EXPECT_EQ(Read(p, -1, size), "<null>") << p;
    EXPECT_EQ(size, 0);
    EXPECT_EQ(GetFileSize(U(p).c_str()), -1) << p;
  }
  EXPECT_EQ(GetFileSize(nullptr), -1);
  // The last error names the cause, once.
  errno = 0;
  EXPECT_EQ(Read(dir / "missing", -1, size), "<null>");
  EXPECT_EQ(GetLastErrorStrAndClear(), u"No such file or directory");
  EXPECT_EQ(GetLastErrorStrAndClear(), u"Success");
}

TEST_F(FileUtil, WritesAndReportsFailures) {
  const unsigned char bytes[] = {'a', 0, 'b'};
  const std::u16string file = U(dir / "out.bin");
  Put(dir / "out.bin", "much longer old content");
  EXPECT_TRUE(WriteFile(file.c_str(), bytes, 3));
  int size = 0;
  EXPECT_EQ(Read(dir / "out.bin", -1, size), std::string("a\0b", 3));
  EXPECT_TRUE(WriteFile(file.c_str(), nullptr, 0));
  EXPECT_EQ(GetFileSize(file.c_str()), 0);
  EXPECT_FALSE(WriteFile(U(dir).c_str(), bytes, 3));
  EXPECT_FALSE(WriteFile(U(dir / "no" / "such").c_str(), bytes, 3));
  EXPECT_FALSE(WriteFile(file.c_str(), bytes, -1));
  // A device is no regular file, even one that accepts writes.
  EXPECT_FALSE(WriteFile(u"/dev/null", bytes, 3));
}

// A writer of `bytes` through the name it is given.
std::function<bool(const std::u16string&)> Writes(const std::string& bytes) {
  return [bytes](const std::u16string& file) {
    return WriteFile(file.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<int>(bytes.size()));
  };
}

size_t Entries(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

mode_t ModeOf(const fs::path& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Both ways of writing the new file: through a temporary name, and unnamed.
constexpr locmodel::ReplaceOptions kNamed{}, kUnnamed{.sync = true, .unnamed = true};

TEST_F(FileUtil, ReplacingIsWholeOrNothingAndReplacesLinksNotTheirTargets) {
  for (const locmodel::ReplaceOptions& options : {kNamed, kUnnamed}) {
    const fs::path dir = Fresh(options.unnamed ? "unnamed" : "named");
    Put(dir / "elsewhere", "keep");
    fs::create_symlink(dir / "elsewhere", dir / "link");
    EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "link"), Writes("new"), options), "");
    int size = 0;
    EXPECT_EQ(Read(dir / "link", -1, size), "new");
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(Read(dir / "elsewhere", -1, size), "keep");

    EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "link"), [](const std::u16string&) { return false; },
                                        options),
              "cannot write file");
    EXPECT_EQ(Read(dir / "link", -1, size), "new");
    EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "no" / "f"), Writes("x"), options)
                  .rfind("cannot create file: ", 0),
              0u);
    // Nothing but the two files is left behind.
    EXPECT_EQ(Entries(dir), 2u);
  }
}

TEST_F(FileUtil, ReplacingKeepsTheModeAndOwnerOrHonoursTheUmask) {
  struct Case {
    const char* what;
    int existing;  // the old file's mode; -1: none, -2: a link
    mode_t umask, expected;
  } const cases[] = {
      {"new file, umask 022", -1, 022, 0644},
      {"new file, umask 077", -1, 077, 0600},
      {"new file, umask 0", -1, 0, 0666},
      {"a link is no file to take the mode of", -2, 027, 0640},
      {"private file stays private", 0600, 022, 0600},
      {"group-readable stays so", 0640, 077, 0640},
      {"executable stays so", 0755, 022, 0755},
      {"set-ID bits do not carry over to new content", 06755, 022, 0755},
  };
  for (const Case& c : cases) {
    for (const locmodel::ReplaceOptions& options : {kNamed, kUnnamed}) {
      const std::string what = std::string(c.what) + (options.unnamed ? ", unnamed" : ", named");
      SCOPED_TRACE(what);
      const fs::path dir = Fresh(what);
      const fs::path target = dir / "f";
      if (c.existing == -2) {
        Put(dir / "other", "x");
        ::chmod((dir / "other").c_str(), 0600);
        fs::create_symlink(dir / "other", target);
      } else if (c.existing >= 0) {
        Put(target, "old");
        ::chmod(target.c_str(), static_cast<mode_t>(c.existing));
      }
      const mode_t saved = ::umask(c.umask);
      mode_t whileWritten = 0;
      const std::string result = locmodel::ReplaceFileWith(
          U(target),
          [&](const std::u16string& file) {
            whileWritten = ModeOf(locmodel::Utf16ToUtf8(file));
            return Writes("new")(file);
          },
          options);
      ::umask(saved);
      EXPECT_EQ(result, "");
      EXPECT_EQ(ModeOf(target), c.expected);
      // Never readable by more people than the result, not even while written.
      EXPECT_EQ(whileWritten & ~c.expected, 0u);
    }
  }
  // Only a privileged process may give a file away, and then it does.
  if (::geteuid() == 0) {
    Put(dir / "f", "old");
    ASSERT_EQ(::chown((dir / "f").c_str(), 4321, 4322), 0);
    EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "f"), Writes("new")), "");
    struct stat st;
    ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
  }
}

// (Sockets and devices meet the same check as these.)
TEST_F(FileUtil, ReplacingRefusesAnythingButRegularFilesAndLinks) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir / "folder");
  for (const char* name : {"fifo", "folder"}) {
    const fs::path target = dir / name;
    const fs::file_type type = fs::symlink_status(target).type();
    bool written = false;
    EXPECT_EQ(locmodel::ReplaceFileWith(U(target), [&](const std::u16string&) { return written = true; }),
              "cannot replace file: not a regular file")
        << name;
    EXPECT_FALSE(written) << name;
    EXPECT_EQ(fs::symlink_status(target).type(), type) << name;
  }
  EXPECT_EQ(locmodel::ReplaceFileWith(U(dir) + u"/", Writes("x")),
            "cannot replace file: not a regular file");
  EXPECT_EQ(Entries(dir), 2u);
}

// Replaces `target` in a child process that dies halfway through writing.
void SaveKilledHalfway(const fs::path& target, locmodel::ReplaceOptions options) {
  const pid_t child = ::fork();
  if (child == 0) {
    locmodel::ReplaceFileWith(
        U(target),
        [](const std::u16string& file) {
          Writes("half")(file);
          ::raise(SIGKILL);
          return true;
        },
        options);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
}

TEST_F(FileUtil, ReplacingLeavesNothingBehindThatTheNextSaveKeeps) {
  const fs::path target = dir / "f.lmp";
  Put(target, "old");
  Put(dir / "other", "o");
  int size = 0;
  // Without a name, a killed writer leaves nothing at all.
  const int probe = ::open(dir.c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe >= 0) {
    ::close(probe);
    SaveKilledHalfway(target, kUnnamed);
    EXPECT_EQ(Entries(dir), 2u);
  }
  // With one, it leaves the named file and whatever the writer put beside.
  SaveKilledHalfway(target, kNamed);
  ASSERT_EQ(Entries(dir), 3u);
  fs::path leftover;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().starts_with("f.lmp.locmodel-")) leftover = entry.path();
  ASSERT_FALSE(leftover.empty());
  Put(leftover.string() + "-journal", "j");
  EXPECT_EQ(Read(target, -1, size), "old");
  // Saving another file leaves them; the next save of the same file removes
  // them, but never the file of a save still running.
  EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "other"), Writes("o2")), "");
  EXPECT_EQ(Entries(dir), 4u);
  std::string inner;
  EXPECT_EQ(locmodel::ReplaceFileWith(U(target),
                                      [&](const std::u16string& file) {
                                        inner = locmodel::ReplaceFileWith(U(target), Writes("inner"));
                                        return Writes("outer")(file);
                                      }),
            "");
  EXPECT_EQ(inner, "");
  EXPECT_EQ(Read(target, -1, size), "outer");
  EXPECT_EQ(Entries(dir), 2u);
}

}  // namespace

// The durability test watches the calls that order a replacement on disk;
// these stand in for the C library's and pass every call on.
namespace {
std::vector<std::string>* diskCalls = nullptr;
}  // namespace

extern "C" int fsync(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  struct stat st;
  if (diskCalls && ::fstat(fd, &st) == 0) diskCalls->push_back(S_ISDIR(st.st_mode) ? "sync folder" : "sync file");
  return real(fd);
}

extern "C" int renameat(int fromDir, const char* from, int toDir, const char* to) noexcept {
  static const auto real =
      reinterpret_cast<int (*)(int, const char*, int, const char*)>(::dlsym(RTLD_NEXT, "renameat"));
  if (diskCalls) diskCalls->push_back("rename");
  return real(fromDir, from, toDir, to);
}

namespace {

TEST_F(FileUtil, ReplacingSyncsTheFileBeforeAndTheFolderAfterTheRename) {
  using Calls = std::vector<std::string>;
  const Calls durable = {"sync file", "rename", "sync folder"}, scratch = {"rename"};
  const struct {
    locmodel::ReplaceOptions options;
    Calls expected;
  } cases[] = {
      {kNamed, durable},
      {kUnnamed, durable},
      {{.sync = false}, scratch},
      {{.sync = false, .unnamed = true}, scratch},
  };
  Put(dir / "f", "old");
  for (const auto& c : cases) {
    Calls calls;
    diskCalls = &calls;
    EXPECT_EQ(locmodel::ReplaceFileWith(U(dir / "f"), Writes("new"), c.options), "");
    diskCalls = nullptr;
    EXPECT_EQ(calls, c.expected) << c.options.sync << c.options.unnamed;
  }
}

TEST_F(FileUtil, DeleteFolderRemovesTreesWithoutFollowingLinks) {
  const fs::path outside = dir / "outside", tree = dir / "tree";
  fs::create_directories(outside / "keep");
  Put(outside / "keep" / "f", "x");
  fs::create_directories(tree / "a" / "ro" / "deeper");
  Put(tree / "a" / "ro" / "deeper" / "f", "x");
  Put(tree / "a" / "ro" / "g", "x");
  ::chmod((tree / "a" / "ro" / "g").c_str(), 0444);
  ::chmod((tree / "a" / "ro").c_str(), 0555);  // no owner write
  fs::create_directory_symlink(outside, tree / "a" / "link");
  fs::create_symlink(outside / "keep" / "f", tree / "filelink");
  DeleteFolder(U(tree) + u"\\");
  EXPECT_FALSE(fs::exists(fs::symlink_status(tree)));
  EXPECT_TRUE(fs::exists(outside / "keep" / "f"));

  // A path that is itself a link loses only the link.
  fs::create_directory_symlink(outside, dir / "alias");
  DeleteFolder(U(dir / "alias"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "alias")));
  EXPECT_TRUE(fs::exists(outside / "keep" / "f"));

  // A file is no folder: nothing happens.
  DeleteFolder(U(outside / "keep" / "f"));
  EXPECT_TRUE(fs::exists(outside / "keep" / "f"));
}

TEST_F(FileUtil, DeleteFolderHandlesTreesDeeperThanAnyPathLimit) {
  // 2,000 levels: the full path is far beyond PATH_MAX, so build it through
  // descriptors.
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  for (int level = 0; level < 2000; ++level) {
    ASSERT_EQ(::mkdirat(fd, "level-directory", 0700), 0);
    const int child = ::openat(fd, "level-directory", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(child, 0);
    if (level % 500 == 0) ::close(::openat(child, "file", O_CREAT | O_WRONLY, 0600));
    ::close(fd);
    fd = child;
  }
  ::close(fd);
  DeleteFolder(U(dir / "level-directory"));
  EXPECT_FALSE(fs::exists(dir / "level-directory"));
}

TEST_F(FileUtil, Locations) {
  const std::u16string program = GetProgramDir();
  ASSERT_FALSE(program.empty());
  EXPECT_EQ(program.back(), u'/');
  EXPECT_TRUE(fs::is_directory(locmodel::Utf16ToUtf8(program)));
  for (const auto& [xdgValue, expected] : {std::pair{"/data/home", u"/data/home"},
                                             {"relative/data", u"/home/someone/.local/share"}}) {
    ScopedEnv xdg("XDG_DATA_HOME", xdgValue), home("HOME", "/home/someone");
    EXPECT_EQ(GetLocalAppDataDir(), expected);
  }
  {
    ScopedEnv xdg("XDG_DATA_HOME", nullptr), home("HOME", nullptr);
    const std::u16string fromPasswd = GetLocalAppDataDir();  // the account's home
    EXPECT_TRUE(fromPasswd.empty() || fromPasswd.ends_with(u"/.local/share"));
  }
  {
    ScopedEnv tmp("TMPDIR", dir.c_str());
    const std::u16string name = getTempFileName();
    const fs::path native = locmodel::Utf16ToUtf8(name);
    EXPECT_EQ(native.parent_path(), dir);
    EXPECT_TRUE(native.filename().string().starts_with("LOC"));
    EXPECT_EQ(native.extension(), ".tmp");
    EXPECT_FALSE(fs::exists(native));
    EXPECT_NE(getTempFileName(), name);
  }
  {
    ScopedEnv tmp("TMPDIR", (dir / "missing").c_str());
    EXPECT_TRUE(getTempFileName().starts_with(u"/tmp/LOC"));
  }
}

// A PE file of `size` zero bytes with "MZ", e_lfanew and "PE\0\0" there.
std::string PeFile(size_t size, uint32_t lfanew) {
  std::string b(size, '\0');
  b[0] = 'M', b[1] = 'Z';
  for (int i = 0; i < 4; ++i) b[0x3C + i] = static_cast<char>(lfanew >> (8 * i));
  if (lfanew + 4 <= size) b.replace(lfanew, 4, std::string("PE\0\0", 4));
  return b;
}

std::string With(std::string b, size_t at, const std::string& bytes) { return b.replace(at, bytes.size(), bytes); }

uint32_t Sum(const std::string& b) {
  return locmodel::PeChecksum(reinterpret_cast<const unsigned char*>(b.data()), b.size());
}

TEST_F(FileUtil, PeChecksumMatchesHandSums) {
  // With valid headers the stored checksum (at e_lfanew + 88) counts as zero.
  const std::string pe = With(PeFile(0x9C, 0x40), 0x98, "\x78\x56\x34\x12");
  const struct {
    const char* what;
    std::string bytes;
    uint32_t sum;  // the folded 16-bit sum plus the length
  } cases[] = {
      // FFFF + FFFF = 1FFFE -> FFFF; + 0002 = 10001 -> 0002.
      {"no headers", std::string("\xff\xff\xff\xff\x02\x00", 6), 0x0002u + 6},
      {"odd length: the last byte is a word with high byte 0", "MZA", 0x5A4Du + 0x0041 + 3},
      {"valid headers: MZ, e_lfanew, PE", pe, 0x5A4Du + 0x0040 + 0x4550 + 0x9C},
      {"any stored checksum", With(pe, 0x98, "\xff\xff\xff\xff"), 0x5A4Du + 0x0040 + 0x4550 + 0x9C},
      // 5A4D + 0040 + 4550 + FFFF = 19FDC -> 9FDD.
      {"the field cut by the end: summed whole", With(pe, 0x98, "\xff\xff").substr(0, 0x9A), 0x9FDDu + 0x9A},
      // 5A4D + 0040 + 4551 ("QE") + 5678 + 1234 = 1088A -> 088B.
      {"signature wrong in its first byte: the field counts", With(pe, 0x40, "Q"), 0x088Bu + 0x9C},
      {"odd e_lfanew: the field straddles words", With(PeFile(0x9D, 0x41), 0x99, "\xff\xff\xff\xff"),
       0x5A4Du + 0x0041 + 0x5000 + 0x0045 + 0x9D},
      // 5A4D + FFF0 + FFFF = 25A3C -> 5A3E.
      {"e_lfanew far past the end", PeFile(64, 0xFFFFFFF0u), 0x5A3Eu + 64},
      {"e_lfanew into the last bytes", PeFile(64, 62), 0x5A4Du + 0x003E + 64},
      {"empty", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Sum(c.bytes), c.sum) << c.what;

  // The file is streamed in blocks: the same sum as in memory, with the
  // field and an odd end far from the first block.
  std::string big = PeFile(600001, 300001);
  for (size_t i = 0x40; i < big.size(); i += 7) big[i] = static_cast<char>(i * 31);
  big.replace(300001, 4, std::string("PE\0\0", 4));
  Put(dir / "big.exe", big);
  EXPECT_EQ(GetChecksum(U(dir / "big.exe")), Sum(big));
  EXPECT_EQ(Sum(With(big, 300001 + 88, "abcd")), Sum(big));  // the field is ignored
  EXPECT_EQ(GetChecksum(U(dir / "missing.exe")), 0u);
  EXPECT_EQ(GetChecksum(U(dir)), 0u);
}

}  // namespace
