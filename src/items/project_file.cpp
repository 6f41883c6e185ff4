#include "locmodel/items/project_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <functional>
#include <optional>

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
  uint64_t Remaining() const override { return in_.Remaining(); }

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

void WriteTree(CResItem& root, Serial::IStreamOut& out) {
  Serial::Binary::BinarySerialOut writer(out);
  root.Do(writer);
}

// The tree reader's budget for a source of `size` bytes as stored.
Serial::Binary::TreeLimits TreeBudget(uint64_t size, uint32_t multiple) {
  constexpr uint64_t kFloor = uint64_t{16} << 20;
  // Items nest two nodes a level (the children node, then one per child),
  // and an item's own members a few more: deeper nodes hold no readable item.
  constexpr uint32_t kMaxNodeDepth = 2 * CResItem::kMaxReadDepth + 64;
  const uint64_t bytes = size > UINT64_MAX / std::max<uint32_t>(multiple, 1) ? UINT64_MAX : size * multiple;
  return {.bytes = std::max(bytes, kFloor), .depth = kMaxNodeDepth};
}

// What a gzip stream met: damaged data, or more than its limit.
template <typename Gzip>
Status GzipDamage(const Gzip& in, const std::u16string& name) {
  const std::string error = in.Error();
  if (error.empty()) return Status::Ok();
  return in.OverLimit() ? Status::Error(Status::Kind::kTooLarge, name, error)
                        : Status::Malformed(error, name);
}

// Reads a whole tree from `source`, `size` bytes as stored; `damage` tells
// afterwards whether the byte stream met damaged or too large compressed
// data. `total` is the uncompressed byte count when known, for the progress
// callback.
//
// The tree reader reads in a single pass (the items enter each node once),
// so the tree holds only what the items read out of order. What it tells
// of the stream comes first, as when the tree was built before the items:
// when an item gives up half-way, the rest of the stream is still read.
Status ReadTree(Serial::IStreamIn& source, const std::function<Status()>& damage,
                const LoadOptions& options, uint64_t size, uint64_t total,
                const std::u16string& name, std::unique_ptr<CResItem>& root) {
  item_reading::ResetTooDeep();
  ProgressCounter counter(options.progress, total);
  CountingIn in(source, counter);
  auto item = std::make_unique<CResItem>();
  bool malformed = false, streamFailed = false;
  std::optional<Serial::Binary::BinarySerialTreeIn> tree;
  try {
    if (options.reader == ProjectReader::Tree) {
      tree.emplace().Open(in, TreeBudget(size, options.tree_budget_multiple));
      item->Do(*tree);
      tree->Close();
    } else {
      Serial::Binary::BinarySerialIn sequential(in);
      item->Do(sequential);
      sequential.LeaveNode();  // "Root" must close right after the item
    }
  } catch (const Serial::Exceptions::FormatIO&) {
    malformed = true;
  }
  if (tree && malformed) {
    try {
      tree->Close();
    } catch (const Serial::Exceptions::FormatIO&) {
      streamFailed = true;
    }
  }
  using Refusal = Serial::Binary::BinarySerialTreeIn::Refusal;
  const Refusal refusal = tree ? tree->refusal() : Refusal::None;
  if (Status status = damage(); !status.ok()) return status;
  if ((item_reading::WasTooDeep() && !streamFailed) || refusal == Refusal::TooDeep) {
    return Status::Error(Status::Kind::kTooLarge, name, item_reading::TooDeepMessage());
  }
  if (refusal == Refusal::TooLarge) {
    return Status::Error(Status::Kind::kTooLarge, name,
                         "the tree reader needs more than " + std::to_string(options.tree_budget_multiple) +
                             " times the file's size");
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
  const auto size = static_cast<uint64_t>(info.st_size);
  if (IsGzipData(magic, got)) {
    Serial::GZFileStreamIn in(path, options.inflate_limit);
    return ReadTree(in, [&] { return GzipDamage(in, path); }, options, size, 0, path, root);
  }
  Serial::FileStreamIn in(path);
  return ReadTree(in, [] { return Status::Ok(); }, options, size, size, path, root);
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
    Serial::GZMemoryStreamIn in(data, size, options.inflate_limit);
    return ReadTree(in, [&] { return GzipDamage(in, name); }, options, size, 0, name, root);
  }
  if (size > UINT32_MAX) return Status::Error(Status::Kind::kTooLarge, name, "file too large");
  Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
  return ReadTree(in, [] { return Status::Ok(); }, options, size, size, name, root);
}

}  // namespace locmodel
