#include "locmodel/serial/streams.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "locmodel/util/native_path.h"

namespace Serial {
namespace {

FILE* AsFile(void* handle) { return static_cast<FILE*>(handle); }
gzFile AsGz(void* handle) { return static_cast<gzFile>(handle); }

}  // namespace

FileStreamIn::FileStreamIn(const std::u16string& path)
    : file_(std::fopen(locmodel::NativePath(path).c_str(), "rb")) {
  // Readers ask for large blocks: a stdio buffer would only add a copy, and
  // taking it from the heap can cost more than the whole read (see
  // MappedAllocator in binary_scanner.h).
  if (file_) std::setvbuf(AsFile(file_), nullptr, _IONBF, 0);
}

FileStreamIn::~FileStreamIn() {
  if (file_) std::fclose(AsFile(file_));
}

uint32_t FileStreamIn::read(void* buffer, uint32_t count) {
  if (!file_ || count == 0) return 0;
  return static_cast<uint32_t>(std::fread(buffer, 1, count, AsFile(file_)));
}

FileStreamOut::FileStreamOut(const std::u16string& path)
    : file_(std::fopen(locmodel::NativePath(path).c_str(), "wb")) {}

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

GZFileStreamIn::GZFileStreamIn(const std::u16string& path)
    : file_(gzopen(locmodel::NativePath(path).c_str(), "rb")) {}

GZFileStreamIn::~GZFileStreamIn() {
  if (file_) gzclose(AsGz(file_));
}

uint32_t GZFileStreamIn::read(void* buffer, uint32_t count) {
  if (!file_ || count == 0 || failed_) return 0;
  // gzread takes an unsigned count but answers in an int; ask for at most
  // INT_MAX so the answer can be told from an error.
  const unsigned ask = std::min<uint32_t>(count, 0x7FFFFFFF);
  const int got = gzread(AsGz(file_), buffer, ask);
  if (got < 0) {
    // Corrupt data: report it as the end of the data, never as a huge count.
    failed_ = true;
    return 0;
  }
  return static_cast<uint32_t>(got);
}

bool GZFileStreamIn::HasError() const {
  if (failed_) return true;
  if (!file_) return false;
  int code = Z_OK;
  gzerror(AsGz(file_), &code);
  return code != Z_OK && code != Z_STREAM_END;
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

uint32_t MemoryStreamOut::write(const void* buffer, uint32_t count) {
  if (count == 0) return 0;
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  data_.insert(data_.end(), bytes, bytes + count);
  return count;
}

}  // namespace Serial
