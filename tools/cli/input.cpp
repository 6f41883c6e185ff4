#include "cli/input.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <vector>

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
  bool Corrupt() const override { return stream_.HasError(); }
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

// Inflates a whole gzip image held in memory; fuzzing and tests use it.
std::vector<unsigned char> Inflate(const void* data, uint32_t size, bool& corrupt) {
  std::vector<unsigned char> bytes;
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) {
    corrupt = true;
    return bytes;
  }
  z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
  z.avail_in = size;
  unsigned char out[16384];
  int rc = Z_OK;
  // A decompression bomb is not worth inflating past what a file could hold.
  while (rc == Z_OK && bytes.size() < (256u << 20)) {
    z.next_out = out;
    z.avail_out = sizeof out;
    rc = inflate(&z, Z_NO_FLUSH);
    bytes.insert(bytes.end(), out, out + (sizeof out - z.avail_out));
  }
  corrupt = rc != Z_STREAM_END;
  inflateEnd(&z);
  return bytes;
}

class GzipMemory final : public Input {
 public:
  GzipMemory(const void* data, uint32_t size)
      : bytes_(Inflate(data, size, corrupt_)),
        stream_(bytes_.data(), static_cast<uint32_t>(bytes_.size())) {}
  Serial::IStreamIn& Stream() override { return stream_; }
  bool Corrupt() const override { return corrupt_; }

 private:
  bool corrupt_ = false;  // set while bytes_ is built, so declared before it
  std::vector<unsigned char> bytes_;
  Serial::MemoryStreamIn stream_;
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

}  // namespace locmodel::cli
