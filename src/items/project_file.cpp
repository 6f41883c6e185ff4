#include "locmodel/items/project_file.h"

#include <sys/stat.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <functional>

#include "items/read_depth.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/serial_tree.h"
#include "locmodel/util/file_util.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

// The number of items on the longest path from `root`, counted without
// recursion.
size_t Depth(const CResItem& root) {
  size_t deepest = 0;
  std::vector<std::pair<const CResItem*, size_t>> pending{{&root, 1}};
  while (!pending.empty()) {
    const auto [item, depth] = pending.back();
    pending.pop_back();
    deepest = std::max(deepest, depth);
    for (const CResItem* child : item->GetResItems()) pending.emplace_back(child, depth + 1);
  }
  return deepest;
}

// Counts the bytes that pass and tells the host's callback every
// kProgressStep of them. Counting bytes at the stream needs no hook in the
// item code, and bytes are what a host can relate to a file's size.
class ProgressCounter {
 public:
  ProgressCounter(const ProgressCallback& callback, uint64_t total)
      : callback_(callback), total_(total) {}
  void Add(uint32_t count) {
    bytes_ += count;
    if (callback_ && bytes_ >= next_) {
      callback_({bytes_, total_});
      next_ = bytes_ + kProgressStep;
    }
  }
  void Finish() {
    if (callback_) callback_({bytes_, total_ ? total_ : bytes_});
  }

 private:
  const ProgressCallback& callback_;
  uint64_t total_, bytes_ = 0, next_ = kProgressStep;
};

class CountingIn final : public Serial::IStreamIn {
 public:
  CountingIn(Serial::IStreamIn& in, ProgressCounter& counter) : in_(in), counter_(counter) {}
  uint32_t read(void* buffer, uint32_t count) override {
    const uint32_t got = in_.read(buffer, count);
    counter_.Add(got);
    return got;
  }

 private:
  Serial::IStreamIn& in_;
  ProgressCounter& counter_;
};

class CountingOut final : public Serial::IStreamOut {
 public:
  CountingOut(Serial::IStreamOut& out, ProgressCounter& counter) : out_(out), counter_(counter) {}
  uint32_t write(const void* buffer, uint32_t count) override {
    const uint32_t put = out_.write(buffer, count);
    counter_.Add(put);
    return put;
  }

 private:
  Serial::IStreamOut& out_;
  ProgressCounter& counter_;
};

// Inflates gzip data held in memory as it is read, member after member as
// gzread does, so that a project received whole costs no second copy.
class GzipMemoryIn final : public Serial::IStreamIn {
 public:
  GzipMemoryIn(const unsigned char* data, size_t size) : rest_(size) {
    z_.next_in = const_cast<unsigned char*>(data);
    failed_ = inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK;
    Refill();
  }
  ~GzipMemoryIn() { inflateEnd(&z_); }
  uint32_t read(void* buffer, uint32_t count) override {
    z_.next_out = static_cast<unsigned char*>(buffer);
    z_.avail_out = count;
    while (!failed_ && !ended_ && z_.avail_out > 0) {
      const int rc = inflate(&z_, Z_NO_FLUSH);
      Refill();
      if (rc == Z_STREAM_END) {
        // Another member may follow; anything else after the data is ignored.
        ended_ = !IsGzipData(z_.next_in, z_.avail_in) || inflateReset(&z_) != Z_OK;
      } else if (rc != Z_OK || (z_.avail_in == 0 && z_.avail_out > 0)) {
        failed_ = true;  // damaged, or the data end before the stream does
      }
    }
    return count - z_.avail_out;
  }
  bool HasError() const { return failed_; }

 private:
  // zlib counts input in 32 bits: hand it the data in slices.
  void Refill() {
    if (z_.avail_in > 0 || rest_ == 0) return;
    z_.avail_in = static_cast<uInt>(std::min<size_t>(rest_, UINT32_MAX));
    rest_ -= z_.avail_in;
  }
  z_stream z_{};
  size_t rest_;
  bool failed_ = false, ended_ = false;
};

void WriteTree(CResItem& root, Serial::IStreamOut& out) {
  Serial::Binary::BinarySerialOut writer(out);
  root.Do(writer);
}

// Reads a whole tree from `source`; `corrupt` tells afterwards whether the
// byte stream met damaged compressed data. `total` is the byte count when
// known, for the progress callback.
Status ReadTree(Serial::IStreamIn& source, const std::function<bool()>& corrupt,
                const LoadOptions& options, uint64_t total, const std::u16string& name,
                std::unique_ptr<CResItem>& root) {
  item_reading::ResetTooDeep();
  ProgressCounter counter(options.progress, total);
  CountingIn in(source, counter);
  auto item = std::make_unique<CResItem>();
  bool malformed = false;
  try {
    if (options.reader == ProjectReader::Tree) {
      Serial::Binary::BinarySerialTreeIn tree;
      tree.Load(in);
      item->Do(tree);
    } else {
      Serial::Binary::BinarySerialIn sequential(in);
      item->Do(sequential);
      sequential.LeaveNode();  // "Root" must close right after the item
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    malformed = true;
  }
  if (corrupt()) return Status::Malformed("corrupt gzip data", name);
  if (item_reading::WasTooDeep()) {
    return Status::Error(Status::Kind::kTooLarge, name, item_reading::TooDeepMessage());
  }
  if (malformed) return Status::Malformed("malformed project file", name);
  counter.Finish();
  root = std::move(item);
  return Status::Ok();
}

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

bool IsGzipData(const void* data, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  return size >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

std::vector<unsigned char> SaveProjectToMemory(CResItem& root) {
  Serial::MemoryStreamOut out;
  WriteTree(root, out);
  return out.TakeData();
}

Status SaveProject(CResItem& root, const std::u16string& path, SaveOptions options) {
  if (options.gzip && options.level > 9)
    return Status::Error(Status::Kind::kBadArgument, path, "gzip level " + std::to_string(options.level) + " is not 0-9");
  // Writing recurses as reading does, and a deeper file could not be read back.
  if (Depth(root) > static_cast<size_t>(CResItem::kMaxReadDepth)) {
    return Status::Error(Status::Kind::kTooLarge, path, item_reading::TooDeepMessage());
  }
  ProgressCounter counter(options.progress, 0);
  const auto write = [&](auto& file) {
    CountingOut out(file, counter);
    WriteTree(root, out);
    return file.Close();
  };
  const std::string failure = ReplaceFileWith(path, [&](const std::u16string& file) {
    if (options.gzip) {
      Serial::GZFileStreamOut out(file, options.level);
      return write(out);
    }
    Serial::FileStreamOut out(file);
    return write(out);
  }, {.sync = options.sync, .unnamed = true});
  if (!failure.empty()) return Status::Error(Status::Kind::kWriteFailed, path, failure);
  counter.Finish();
  return Status::Ok();
}

Status LoadProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                   ProjectReader reader) {
  return LoadProject(path, root, LoadOptions{reader, {}});
}

Status LoadProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                   const LoadOptions& options) {
  unsigned char magic[2] = {0, 0};
  size_t got = 0;
  struct stat info {};
  if (FILE* f = std::fopen(NativePath(path).c_str(), "rb")) {
    std::setvbuf(f, nullptr, _IONBF, 0);  // two bytes need no buffer
    got = std::fread(magic, 1, 2, f);
    if (fstat(fileno(f), &info) != 0 || !S_ISREG(info.st_mode)) info.st_size = 0;
    std::fclose(f);
  } else {
    return Status::CannotOpen(path, SystemError("cannot open file"));
  }
  if (IsGzipData(magic, got)) {
    Serial::GZFileStreamIn in(path);
    return ReadTree(in, [&] { return in.HasError(); }, options, 0, path, root);
  }
  Serial::FileStreamIn in(path);
  return ReadTree(in, [] { return false; }, options, static_cast<uint64_t>(info.st_size), path,
                  root);
}

Status LoadProjectFromMemory(const unsigned char* data, size_t size,
                             std::unique_ptr<CResItem>& root, ProjectReader reader,
                             const std::u16string& name) {
  return LoadProjectFromMemory(data, size, root, LoadOptions{reader, {}}, name);
}

Status LoadProjectFromMemory(const unsigned char* data, size_t size,
                             std::unique_ptr<CResItem>& root, const LoadOptions& options,
                             const std::u16string& name) {
  if (IsGzipData(data, size)) {
    GzipMemoryIn in(data, size);
    return ReadTree(in, [&] { return in.HasError(); }, options, 0, name, root);
  }
  if (size > UINT32_MAX) return Status::Error(Status::Kind::kTooLarge, name, "file too large");
  Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
  return ReadTree(in, [] { return false; }, options, size, name, root);
}

}  // namespace locmodel
