#include "locmodel/serial/streams.h"

#include <zlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "locmodel/util/native_path.h"
#include "util/platform.h"

namespace Serial {
namespace {

FILE* AsFile(void* handle) { return static_cast<FILE*>(handle); }
gzFile AsGz(void* handle) { return static_cast<gzFile>(handle); }
z_stream& AsZ(void* handle) { return *static_cast<z_stream*>(handle); }

std::atomic<uint64_t> g_inflateLimit{kDefaultInflateLimit};

// Decompressed bytes a gzip reader may hold back beyond what its compressed
// input accounts for (zlib's output buffer).
constexpr uint64_t kInflateSlack = 64 * 1024;

// The size of a regular file, UINT64_MAX for anything else.
uint64_t RegularSize(int fd) {
  struct stat info {};
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size)
                                                         : UINT64_MAX;
}

// What `compressed` bytes can still expand to, within what `limit` leaves.
uint64_t InflateBound(uint64_t compressed, uint64_t limit, uint64_t delivered, bool over) {
  if (over) return 0;
  const uint64_t left = limit - delivered;
  if (compressed >= (UINT64_MAX - kInflateSlack) / kMaxInflateRatio) return left;
  return std::min(left, compressed * kMaxInflateRatio + kInflateSlack);
}

// Delivers what `inflate` gives, at most `limit` bytes in all. A read cut
// short by the limit asks for one byte more: data that go on past it are
// refused (`over`), never ended quietly as if complete.
template <typename Inflate>
uint32_t ReadWithin(uint64_t limit, uint64_t& delivered, bool& over, void* buffer,
                    uint32_t count, Inflate&& inflate) {
  if (over || count == 0) return 0;
  const uint64_t left = limit - delivered;
  const auto ask = static_cast<uint32_t>(std::min<uint64_t>(count, left));
  const uint32_t got = ask ? inflate(static_cast<unsigned char*>(buffer), ask) : 0;
  delivered += got;
  if (got == left && count > left) {
    unsigned char probe;
    over = inflate(&probe, 1) > 0;
  }
  return got;
}

}  // namespace

void SetDefaultInflateLimit(uint64_t bytes) { g_inflateLimit = bytes; }
uint64_t DefaultInflateLimit() { return g_inflateLimit; }

std::string InflateLimitError(uint64_t limit) {
  return "gzip data expand to more than " + std::to_string(limit) + " bytes";
}

FileStreamIn::FileStreamIn(const std::u16string& path)
    : file_(std::fopen(locmodel::NativePath(path).c_str(), "rb")) {
  if (!file_) return;
  size_ = RegularSize(fileno(AsFile(file_)));
  // Readers ask for large blocks: a stdio buffer would only add a copy, and
  // taking it from the heap can cost more than the whole read (see
  // MappedAllocator in binary_scanner.h).
  std::setvbuf(AsFile(file_), nullptr, _IONBF, 0);
}

uint64_t FileStreamIn::Remaining() const {
  if (!file_) return 0;
  const long at = std::ftell(AsFile(file_));
  if (size_ == UINT64_MAX || at < 0) return UINT64_MAX;
  return size_ > static_cast<uint64_t>(at) ? size_ - static_cast<uint64_t>(at) : 0;
}

FileStreamIn::~FileStreamIn() {
  if (file_) std::fclose(AsFile(file_));
}

uint32_t FileStreamIn::read(void* buffer, uint32_t count) {
  if (!file_ || count == 0) return 0;
  return static_cast<uint32_t>(std::fread(buffer, 1, count, AsFile(file_)));
}

FileStreamOut::FileStreamOut(const std::u16string& path)
    : file_(std::fopen(locmodel::NativePath(path).c_str(), "wb")) {
  // Writers hand over large blocks (BinarySerialOut's are 64 KB): a buffer
  // of that size lets stdio pass them on in one system call each, while a
  // host's small writes are still gathered.
  constexpr size_t kBufferSize = size_t{64} << 10;
  if (file_) {
    buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::setvbuf(AsFile(file_), buffer_.get(), _IOFBF, kBufferSize);
  }
}

FileStreamOut::~FileStreamOut() {
  if (file_) std::fclose(AsFile(file_));
}

uint32_t FileStreamOut::write(const void* buffer, uint32_t count) {
  if (!file_ || count == 0) return 0;
  const auto put = static_cast<uint32_t>(std::fwrite(buffer, 1, count, AsFile(file_)));
  if (put != count) failed_ = true;
  return put;
}

bool FileStreamOut::Close() {
  if (!file_) return false;
  const bool closed = std::fclose(AsFile(file_)) == 0;
  file_ = nullptr;
  return closed && !failed_;
}

GZFileStreamIn::GZFileStreamIn(const std::u16string& path, uint64_t limit)
    : file_(nullptr), limit_(limit) {
  const std::string native = locmodel::NativePath(path);
  struct stat info {};
  if (stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    size_ = static_cast<uint64_t>(info.st_size);
  file_ = gzopen(native.c_str(), "rb");
}

GZFileStreamIn::~GZFileStreamIn() {
  if (file_) gzclose(AsGz(file_));
}

uint32_t GZFileStreamIn::read(void* buffer, uint32_t count) {
  if (!file_ || failed_) return 0;
  return ReadWithin(limit_, delivered_, over_, buffer, count, [this](unsigned char* out, uint32_t ask) {
    // gzread takes an unsigned count but answers in an int; ask for at most
    // INT_MAX so the answer can be told from an error.
    const int got = gzread(AsGz(file_), out, std::min<uint32_t>(ask, 0x7FFFFFFF));
    // Corrupt data: report it as the end of the data, never as a huge count.
    if (got < 0) failed_ = true;
    return got < 0 ? 0u : static_cast<uint32_t>(got);
  });
}

uint64_t GZFileStreamIn::Remaining() const {
  if (!file_) return 0;
  const z_off_t at = gzoffset(AsGz(file_));
  const uint64_t rest = size_ == UINT64_MAX || at < 0 ? UINT64_MAX
                        : size_ > static_cast<uint64_t>(at) ? size_ - static_cast<uint64_t>(at) : 0;
  return InflateBound(rest, limit_, delivered_, over_);
}

std::string GZFileStreamIn::Error() const {
  if (over_) return InflateLimitError(limit_);
  int code = Z_OK;
  if (file_ && !failed_) gzerror(AsGz(file_), &code);
  return failed_ || (code != Z_OK && code != Z_STREAM_END) ? "corrupt gzip data" : "";
}

GZMemoryStreamIn::GZMemoryStreamIn(const void* data, size_t size, uint64_t limit)
    : z_(new z_stream{}), rest_(size), limit_(limit) {
  AsZ(z_).next_in = static_cast<Bytef*>(const_cast<void*>(data));
  failed_ = inflateInit2(&AsZ(z_), 16 + MAX_WBITS) != Z_OK;
  Refill();
}

GZMemoryStreamIn::~GZMemoryStreamIn() {
  inflateEnd(&AsZ(z_));
  delete &AsZ(z_);
}

// zlib counts input in 32 bits: hand it the data in slices.
void GZMemoryStreamIn::Refill() {
  z_stream& z = AsZ(z_);
  if (z.avail_in > 0 || rest_ == 0) return;
  z.avail_in = static_cast<uInt>(std::min<size_t>(rest_, UINT32_MAX));
  rest_ -= z.avail_in;
}

uint32_t GZMemoryStreamIn::Inflate(unsigned char* buffer, uint32_t count) {
  z_stream& z = AsZ(z_);
  z.next_out = buffer;
  z.avail_out = count;
  while (!failed_ && !ended_ && z.avail_out > 0) {
    const int rc = inflate(&z, Z_NO_FLUSH);
    Refill();
    if (rc == Z_STREAM_END) {
      // Another member may follow; anything else after the data is ignored.
      ended_ = z.avail_in < 2 || z.next_in[0] != 0x1F || z.next_in[1] != 0x8B ||
               inflateReset(&z) != Z_OK;
    } else if (rc != Z_OK || (z.avail_in == 0 && z.avail_out > 0)) {
      failed_ = true;  // damaged, or the data end before the stream does
    }
  }
  return count - z.avail_out;
}

uint32_t GZMemoryStreamIn::read(void* buffer, uint32_t count) {
  return ReadWithin(limit_, delivered_, over_, buffer, count,
                    [this](unsigned char* out, uint32_t ask) { return Inflate(out, ask); });
}

uint64_t GZMemoryStreamIn::Remaining() const {
  return InflateBound(AsZ(z_).avail_in + rest_, limit_, delivered_, over_);
}

std::string GZMemoryStreamIn::Error() const {
  if (over_) return InflateLimitError(limit_);
  return failed_ ? "corrupt gzip data" : "";
}

GZFileStreamOut::GZFileStreamOut(const std::u16string& path, uint32_t level) : file_(nullptr) {
  if (level > 9) return;
  char mode[8];
  std::snprintf(mode, sizeof mode, "wb%u", level);
  file_ = gzopen(locmodel::NativePath(path).c_str(), mode);
}

GZFileStreamOut::~GZFileStreamOut() {
  if (file_) gzclose(AsGz(file_));
}

uint32_t GZFileStreamOut::write(const void* buffer, uint32_t count) {
  if (!file_ || count == 0) return 0;
  const int put = gzwrite(AsGz(file_), buffer, count);
  if (put <= 0 || static_cast<uint32_t>(put) != count) failed_ = true;
  return put > 0 ? static_cast<uint32_t>(put) : 0;
}

bool GZFileStreamOut::Close() {
  if (!file_) return false;
  const bool closed = gzclose(AsGz(file_)) == Z_OK;
  file_ = nullptr;
  return closed && !failed_;
}

MemoryStreamIn::MemoryStreamIn(const void* data, uint32_t size)
    : data_(static_cast<const unsigned char*>(data)), size_(data ? size : 0) {}

uint32_t MemoryStreamIn::read(void* buffer, uint32_t count) {
  const uint32_t n = std::min(count, size_ - position_);
  if (n) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

// A buffer above 32 MB comes fresh from the kernel on every save (glibc
// maps such blocks and unmaps them on free), and faulting it in 4 KB at a
// time cost more than writing the project. So the stream doubles its buffer
// itself, advising huge pages before the old bytes are copied in.
void MemoryStreamOut::Grow(size_t needed) {
  constexpr size_t kAdviseFrom = size_t{32} << 20;
  std::vector<unsigned char> bigger;
  bigger.reserve(std::max(needed, 2 * data_.capacity()));
  if (bigger.capacity() >= kAdviseFrom) locmodel::platform::AdviseHugePages(bigger.data(), bigger.capacity());
  bigger.assign(data_.begin(), data_.end());
  data_.swap(bigger);
}

uint32_t MemoryStreamOut::write(const void* buffer, uint32_t count) {
  if (count == 0) return 0;
  if (data_.capacity() - data_.size() < count) Grow(data_.size() + count);
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  data_.insert(data_.end(), bytes, bytes + count);
  return count;
}

}  // namespace Serial
