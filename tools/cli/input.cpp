#include "cli/input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/command.h"
#include "locmodel/items/project_file.h"
#include "locmodel/util/unicode.h"

namespace locmodel::cli {
namespace {

class PlainFile final : public Input {
 public:
  explicit PlainFile(const std::u16string& path) : stream_(path) {}
  Serial::IStreamIn& Stream() override { return stream_; }
  bool IsOpen() const { return stream_.IsOpen(); }

 private:
  Serial::FileStreamIn stream_;
};

class GzipFile final : public Input {
 public:
  explicit GzipFile(const std::u16string& path) : stream_(path) {}
  Serial::IStreamIn& Stream() override { return stream_; }
  std::string Damage() const override { return stream_.Error(); }
  bool IsOpen() const { return stream_.IsOpen(); }

 private:
  Serial::GZFileStreamIn stream_;
};

class Memory final : public Input {
 public:
  Memory(const void* data, uint32_t size) : stream_(data, size) {}
  Serial::IStreamIn& Stream() override { return stream_; }

 private:
  Serial::MemoryStreamIn stream_;
};

class GzipMemory final : public Input {
 public:
  GzipMemory(const void* data, uint32_t size) : stream_(data, size) {}
  Serial::IStreamIn& Stream() override { return stream_; }
  std::string Damage() const override { return stream_.Error(); }

 private:
  Serial::GZMemoryStreamIn stream_;
};

}  // namespace

std::unique_ptr<Input> OpenInput(const std::string& path) {
  const std::u16string wide = Utf8ToUtf16(path);
  unsigned char magic[2] = {0, 0};
  size_t got = 0;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    got = std::fread(magic, 1, 2, f);
    std::fclose(f);
  } else {
    return nullptr;
  }
  if (IsGzipData(magic, got)) {
    auto gz = std::make_unique<GzipFile>(wide);
    if (!gz->IsOpen()) return nullptr;
    return gz;
  }
  auto plain = std::make_unique<PlainFile>(wide);
  if (!plain->IsOpen()) return nullptr;
  return plain;
}

std::unique_ptr<Input> OpenInput(const void* data, uint32_t size) {
  if (IsGzipData(data, size))
    return std::make_unique<GzipMemory>(data, size);
  return std::make_unique<Memory>(data, size);
}

bool IsStreamedInput(const std::string& path) {
  if (path == "-") return true;
  struct stat info {};
  return stat(path.c_str(), &info) == 0 &&
         (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || S_ISCHR(info.st_mode));
}

std::string InputName(const std::string& path) { return path == "-" ? "(standard input)" : path; }

bool ReadStreamedInput(const std::string& path, size_t limit, std::string& bytes,
                       std::string& error) {
  const int fd = path == "-" ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = InputName(path) + ": cannot open file: " + std::strerror(errno);
    return false;
  }
  bytes.clear();
  char buffer[65536];
  ssize_t got = 0;
  // One byte past the limit tells an input that is too large.
  while (bytes.size() <= limit && ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))) {
    if (got > 0) bytes.append(buffer, static_cast<size_t>(got));
  }
  const int readErrno = errno;
  if (fd != STDIN_FILENO) close(fd);
  if (got < 0) {
    error = InputName(path) + ": cannot read: " + std::strerror(readErrno);
  } else if (bytes.size() > limit) {
    error = InputName(path) + ": more than " + std::to_string(limit) + " bytes";
  } else {
    return true;
  }
  bytes.clear();
  return false;
}

int CheckDatabasePath(const char* command, const std::string& path, std::ostream& err) {
  if (!IsStreamedInput(path)) return kOk;
  return UsageError(err, command,
                    InputName(path) + ": a database is read from a file, not from standard input or a pipe");
}

}  // namespace locmodel::cli
