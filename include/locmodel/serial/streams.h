// Byte streams: the sources and sinks beneath the serial format.
//
// Three pairs exist: a plain file, a gzip file and a memory buffer. They add
// no framing and no buffering of their own, so a gzip file is exactly the
// compression of the bytes a plain file would hold.
//
// Ownership: streams are owned by value by whoever creates them and are never
// deleted through the interfaces (which therefore have no virtual
// destructor). They cannot be copied.
//
// Failure: no constructor and no operation throws. A file that cannot be
// opened leaves the stream without a handle; it then delivers and accepts
// nothing (every read and write returns 0). A short count is the only signal.
//
// Hostile input: gzip readers deliver at most a limit of decompressed bytes
// (a few MB of gzip can expand to terabytes), and every input stream tells
// how many bytes it could still deliver at most, so that a reader refuses a
// declared length that cannot be satisfied before allocating anything for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Serial {

// The decompressed bytes a gzip reader delivers unless told otherwise: the
// default of DefaultInflateLimit().
inline constexpr uint64_t kDefaultInflateLimit = uint64_t{1} << 30;
// The process-wide limit of gzip readers created without one of their own.
// Hosts that read larger data raise it once at startup; thread-safe.
void SetDefaultInflateLimit(uint64_t bytes);
uint64_t DefaultInflateLimit();
// deflate never expands a byte into more than about 1032.
inline constexpr uint64_t kMaxInflateRatio = 1032;

class IStreamIn {
 public:
  // Delivers up to `count` bytes into `buffer`; fewer (possibly 0) at the end.
  virtual uint32_t read(void* buffer, uint32_t count) = 0;
  // At least the number of bytes read() can still deliver (UINT64_MAX when
  // the stream cannot tell): a promise of nothing, a bound on everything.
  virtual uint64_t Remaining() const { return UINT64_MAX; }

 protected:
  IStreamIn() = default;
  ~IStreamIn() = default;
  IStreamIn(const IStreamIn&) = delete;
  IStreamIn& operator=(const IStreamIn&) = delete;
};

class IStreamOut {
 public:
  // Appends `count` bytes from `buffer`; returns the number accepted.
  virtual uint32_t write(const void* buffer, uint32_t count) = 0;

 protected:
  IStreamOut() = default;
  ~IStreamOut() = default;
  IStreamOut(const IStreamOut&) = delete;
  IStreamOut& operator=(const IStreamOut&) = delete;
};

// Paths are UTF-16; both '\' and '/' separate folders.
class FileStreamIn final : public IStreamIn {
 public:
  explicit FileStreamIn(const std::u16string& path);
  ~FileStreamIn();
  uint32_t read(void* buffer, uint32_t count) override;
  // The rest of a regular file; unknown for pipes and devices.
  uint64_t Remaining() const override;
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void* file_;  // FILE*
  uint64_t size_ = UINT64_MAX;
};

// Creates or truncates the file.
class FileStreamOut final : public IStreamOut {
 public:
  explicit FileStreamOut(const std::u16string& path);
  ~FileStreamOut();
  uint32_t write(const void* buffer, uint32_t count) override;
  bool IsOpen() const { return file_ != nullptr; }
  // Closes the file now; false when it was not open or a write or the final
  // flush failed. The destructor closes it otherwise, unchecked.
  bool Close();

 private:
  void* file_;  // FILE*
  std::unique_ptr<char[]> buffer_;  // the stdio buffer, freed after the file is closed
  bool failed_ = false;
};

// Reads a gzip file; a file that is not gzip-compressed is read unchanged.
// Corrupt compressed data, and data expanding past `limit` bytes, end the
// stream early; HasError() then tells it apart from a clean end, and Error()
// says which it was.
class GZFileStreamIn final : public IStreamIn {
 public:
  explicit GZFileStreamIn(const std::u16string& path, uint64_t limit = DefaultInflateLimit());
  ~GZFileStreamIn();
  uint32_t read(void* buffer, uint32_t count) override;
  // The smaller of what is left of the limit and what the rest of the file
  // can expand to.
  uint64_t Remaining() const override;
  bool IsOpen() const { return file_ != nullptr; }
  bool HasError() const { return !Error().empty(); }
  // Whether the data went on past the limit.
  bool OverLimit() const { return over_; }
  // "corrupt gzip data", InflateLimitError(limit), or empty.
  std::string Error() const;

 private:
  void* file_;  // gzFile
  uint64_t size_ = UINT64_MAX;
  uint64_t limit_, delivered_ = 0;
  bool failed_ = false, over_ = false;
};

// Inflates gzip data held in memory as it is read, member after member as a
// gzip file is read, so that data received whole cost no second copy. The
// caller keeps the bytes alive. Errors and the limit are those of
// GZFileStreamIn.
class GZMemoryStreamIn final : public IStreamIn {
 public:
  GZMemoryStreamIn(const void* data, size_t size, uint64_t limit = DefaultInflateLimit());
  ~GZMemoryStreamIn();
  uint32_t read(void* buffer, uint32_t count) override;
  uint64_t Remaining() const override;
  bool HasError() const { return !Error().empty(); }
  bool OverLimit() const { return over_; }
  std::string Error() const;

 private:
  void Refill();
  uint32_t Inflate(unsigned char* buffer, uint32_t count);

  void* z_;  // z_stream
  size_t rest_;
  uint64_t limit_, delivered_ = 0;
  bool failed_ = false, ended_ = false, over_ = false;
};

// How a reader words data that expand past `limit` bytes.
std::string InflateLimitError(uint64_t limit);

// Writes a gzip file at `level` (0-9). A level above 9 opens no file. The
// file is complete only once the stream is destroyed.
class GZFileStreamOut final : public IStreamOut {
 public:
  GZFileStreamOut(const std::u16string& path, uint32_t level);
  ~GZFileStreamOut();
  uint32_t write(const void* buffer, uint32_t count) override;
  bool IsOpen() const { return file_ != nullptr; }
  // Completes and closes the file now; false when it was not open or any
  // write or the completion failed.
  bool Close();

 private:
  void* file_;  // gzFile
  bool failed_ = false;
};

// Reads the caller's bytes in place; the caller keeps them alive.
class MemoryStreamIn final : public IStreamIn {
 public:
  MemoryStreamIn(const void* data, uint32_t size);
  uint32_t read(void* buffer, uint32_t count) override;
  uint64_t Remaining() const override { return size_ - position_; }

 private:
  const unsigned char* data_;
  uint32_t size_;
  uint32_t position_ = 0;
};

class MemoryStreamOut final : public IStreamOut {
 public:
  MemoryStreamOut() = default;
  uint32_t write(const void* buffer, uint32_t count) override;
  // Everything written so far, in order.
  const std::vector<unsigned char>& GetData() const { return data_; }
  // Hands the bytes over without a copy; the stream is empty afterwards.
  std::vector<unsigned char> TakeData() { return std::exchange(data_, {}); }

 private:
  void Grow(size_t needed);

  std::vector<unsigned char> data_;
};

}  // namespace Serial
