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
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Serial {

class IStreamIn {
 public:
  // Delivers up to `count` bytes into `buffer`; fewer (possibly 0) at the end.
  virtual uint32_t read(void* buffer, uint32_t count) = 0;

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
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void* file_;  // FILE*
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
  bool failed_ = false;
};

// Reads a gzip file; a file that is not gzip-compressed is read unchanged.
// Corrupt compressed data ends the stream early; HasError() then tells it
// apart from a clean end.
class GZFileStreamIn final : public IStreamIn {
 public:
  explicit GZFileStreamIn(const std::u16string& path);
  ~GZFileStreamIn();
  uint32_t read(void* buffer, uint32_t count) override;
  bool IsOpen() const { return file_ != nullptr; }
  bool HasError() const;

 private:
  void* file_;  // gzFile
  bool failed_ = false;
};

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
  std::vector<unsigned char> data_;
};

}  // namespace Serial
