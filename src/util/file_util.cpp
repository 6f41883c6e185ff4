#include "locmodel/util/file_util.h"

#include <bit>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "locmodel/util/native_path.h"
#include "locmodel/util/path_util.h"
#include "locmodel/util/unicode.h"
#include "locmodel/util/coding.h"
#include "util/platform.h"

namespace platform = locmodel::platform;
using locmodel::NativePath;

namespace {

std::u16string_view ViewOf(const char16_t* p) { return p ? std::u16string_view(p) : std::u16string_view(); }

// x86-64 builds carry this loop twice, for AVX2 and for the baseline, and
// pick one when the library is loaded: the baseline sums at half the speed.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define LOCMODEL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define LOCMODEL_VECTOR_CLONES
#endif

// The sum of `words` little-endian 16-bit words; at most 65536 of them, so
// that 32 bits hold it. A loop the compiler turns into vector code.
LOCMODEL_VECTOR_CLONES
uint32_t SumWords(const unsigned char* p, size_t words) {
  uint32_t sum = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (size_t i = 0; i < words; ++i) {
      uint16_t w;
      std::memcpy(&w, p + 2 * i, 2);
      sum += w;
    }
  } else {
    for (size_t i = 0; i < words; ++i) sum += locmodel::coding::DecodeFixed<uint16_t>(p + 2 * i);
  }
  return sum;
}

// Sums a byte stream as 16-bit little-endian words with end-around carry.
// The carries are folded once at the end: a ones' complement sum does not
// depend on when they are folded, and only an all-zero input sums to 0
// either way. Bytes at [skipAt, skipAt + 4) count as zero.
class PeSum {
 public:
  explicit PeSum(std::optional<uint64_t> skipAt) : skipAt_(skipAt) {}

  void Feed(const unsigned char* p, size_t n) {
    if (!skipAt_ || length_ >= *skipAt_ + 4 || length_ + n <= *skipAt_) {
      Add(p, n);
      return;
    }
    static const unsigned char kZeros[4] = {};
    const uint64_t field = *skipAt_;
    const size_t before = field > length_ ? static_cast<size_t>(field - length_) : 0;
    Add(p, before);
    const size_t zeros = std::min<uint64_t>(n - before, field + 4 - length_);
    Add(kZeros, zeros);
    Add(p + before + zeros, n - before - zeros);
  }

  uint32_t Finish() const {
    uint64_t sum = total_ + (hasPending_ ? pending_ : 0);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint32_t>(sum) + static_cast<uint32_t>(length_);
  }

 private:
  void Add(const unsigned char* p, size_t n) {
    length_ += n;
    if (n > 0 && hasPending_) {
      const unsigned char word[2] = {pending_, p[0]};
      total_ += locmodel::coding::DecodeFixed<uint16_t>(word);
      hasPending_ = false;
      ++p;
      --n;
    }
    constexpr size_t kWordsPerRun = 65536;
    while (n >= 2) {
      const size_t words = std::min(n / 2, kWordsPerRun);
      total_ += SumWords(p, words);
      p += 2 * words;
      n -= 2 * words;
    }
    if (n == 1) {
      pending_ = p[0];
      hasPending_ = true;
    }
  }

  std::optional<uint64_t> skipAt_;
  uint64_t total_ = 0;
  uint64_t length_ = 0;
  unsigned char pending_ = 0;
  bool hasPending_ = false;
};

// The offset of the optional header's CheckSum field when the headers are
// valid. `read(offset, out, n)` is true only when all n bytes were there.
template <typename Read>
std::optional<uint64_t> CheckSumField(Read read) {
  unsigned char mz[2], lfanew[4], pe[4], field[4];
  if (!read(0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z' || !read(0x3C, lfanew, 4)) return {};
  const uint64_t at = locmodel::coding::DecodeFixed32(lfanew);
  if (!read(at, pe, 4) || pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return {};
  const uint64_t fieldAt = at + 24 + 64;
  if (!read(fieldAt, field, 4)) return {};
  return fieldAt;
}

}  // namespace

int GetFileSize(const char16_t* path) {
  const int fd = platform::OpenRegularForRead(NativePath(ViewOf(path)));
  if (fd < 0) return -1;
  const int64_t size = platform::FileSize(fd);
  platform::Close(fd);
  if (size > INT_MAX) errno = EFBIG;
  return size >= 0 && size <= INT_MAX ? static_cast<int>(size) : -1;
}

unsigned char* ReadFile(const char16_t* path, int& size, int maxSize) {
  size = 0;
  const int fd = platform::OpenRegularForRead(NativePath(ViewOf(path)));
  if (fd < 0) return nullptr;
  // Without a bound, one byte past INT_MAX tells a file too large for `size`.
  const uint64_t want = maxSize >= 0 ? static_cast<uint64_t>(maxSize) : uint64_t{INT_MAX} + 1;
  size_t capacity = static_cast<size_t>(std::max<uint64_t>(1, std::min<uint64_t>(want, 1 << 16)));
  auto* buffer = static_cast<unsigned char*>(std::malloc(capacity));
  size_t used = 0;
  bool ok = buffer != nullptr;
  while (ok && used < want) {
    if (used == capacity) {
      capacity = static_cast<size_t>(std::min<uint64_t>(want, uint64_t{capacity} * 2));
      auto* grown = static_cast<unsigned char*>(std::realloc(buffer, capacity));
      ok = grown != nullptr;
      if (!ok) break;
      buffer = grown;
    }
    const long got = platform::ReadSome(fd, buffer + used, capacity - used);
    ok = got >= 0;
    if (got <= 0) break;
    used += static_cast<size_t>(got);
  }
  platform::Close(fd);
  if (ok && used > INT_MAX) {
    errno = EFBIG;
    ok = false;
  }
  if (!ok) {
    std::free(buffer);
    return nullptr;
  }
  size = static_cast<int>(used);
  return buffer;
}

bool WriteFile(const char16_t* path, const unsigned char* data, int size) {
  if (size < 0 || (!data && size > 0)) {
    errno = EINVAL;
    return false;
  }
  const int fd = platform::CreateRegularForWrite(NativePath(ViewOf(path)));
  if (fd < 0) return false;
  const bool written = platform::WriteAll(fd, data, static_cast<size_t>(size));
  const bool closed = platform::Close(fd);
  return written && closed;
}

void DeleteFolder(const std::u16string& path) {
  std::string native = NativePath(path);
  // "dir/" would name what a link "dir" points to.
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  platform::RemoveTree(native);
}

uint32_t locmodel::PeChecksum(const unsigned char* data, size_t size) {
  PeSum sum(CheckSumField([&](uint64_t at, unsigned char* out, size_t n) {
    if (at > size || size - at < n) return false;
    std::copy(data + at, data + at + n, out);
    return true;
  }));
  sum.Feed(data, size);
  return sum.Finish();
}

unsigned long GetChecksum(const std::u16string& path) {
  const int fd = platform::OpenRegularForRead(NativePath(NormalizePath(path)));
  if (fd < 0) return 0;
  PeSum sum(CheckSumField([fd](uint64_t at, unsigned char* out, size_t n) {
    return platform::ReadAt(fd, at, out, n) == n;
  }));
  std::vector<unsigned char> block(1 << 18);
  long got;
  while ((got = platform::ReadSome(fd, block.data(), block.size())) > 0)
    sum.Feed(block.data(), static_cast<size_t>(got));
  platform::Close(fd);
  return got < 0 ? 0 : sum.Finish();
}

std::u16string GetProgramDir() {
  const std::u16string exe = locmodel::Utf8ToUtf16(platform::ExecutablePath());
  return ExtractFileDir(exe.c_str());
}

std::u16string GetLocalAppDataDir() { return locmodel::Utf8ToUtf16(platform::DataHome()); }

std::u16string getTempFileName() { return locmodel::Utf8ToUtf16(platform::MakeTempName()); }

std::u16string ReadRegistryStr(HKEY, const char16_t*, const char16_t*) {
  errno = ENOENT;
  return std::u16string();
}

bool IsNetfx10Installed() { return false; }
bool IsNetfx11Installed() { return false; }
bool IsNetfx20Installed() { return false; }
bool IsNetfx30Installed() { return false; }
bool IsNetfx40Installed() { return false; }

std::u16string GetLastErrorStrAndClear() {
  const std::string text = platform::ErrorText(errno);
  errno = 0;
  return locmodel::Utf8ToUtf16(text);
}

std::string locmodel::ReplaceFileWith(const std::u16string& path,
                                      const std::function<bool(const std::u16string&)>& write,
                                      ReplaceOptions options) {
  const platform::ReplaceStep step = platform::ReplaceFile(
      NativePath(path), options, [&](const std::string& name) {
        errno = 0;  // a writer failing on a system call leaves its errno; others none
        return write(Utf8ToUtf16(name));
      });
  const int error = errno;
  switch (step) {
    case platform::ReplaceStep::kDone:
      return std::string();
    case platform::ReplaceStep::kRefused:
      return "cannot replace file: not a regular file";
    case platform::ReplaceStep::kCreate:
      return "cannot create file: " + platform::ErrorText(error);
    case platform::ReplaceStep::kWrite:
      return error != 0 ? "cannot write file: " + platform::ErrorText(error) : "cannot write file";
    case platform::ReplaceStep::kReplace:
      break;
  }
  return "cannot replace file: " + platform::ErrorText(error);
}
