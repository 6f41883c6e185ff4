#include "locmodel/items/project_file.h"

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

std::string TooDeep() {
  return "items nest deeper than " + std::to_string(CResItem::kMaxReadDepth) + " levels";
}

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

void WriteTree(CResItem& root, Serial::IStreamOut& out) {
  Serial::Binary::BinarySerialOut writer(out);
  root.Do(writer);
}

// Reads a whole tree from `in`; `corrupt` tells afterwards whether the byte
// stream met damaged compressed data.
Status ReadTree(Serial::IStreamIn& in, const std::function<bool()>& corrupt,
                    ProjectReader reader, const std::u16string& name,
                    std::unique_ptr<CResItem>& root) {
  item_reading::ResetTooDeep();
  auto item = std::make_unique<CResItem>();
  bool malformed = false;
  try {
    if (reader == ProjectReader::Tree) {
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
    return Status::Error(Status::Kind::kTooLarge, name, TooDeep());
  }
  if (malformed) return Status::Malformed("malformed project file", name);
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
  return out.GetData();
}

Status SaveProject(CResItem& root, const std::u16string& path, SaveOptions options) {
  if (options.gzip && options.level > 9)
    return Status::Error(Status::Kind::kBadArgument, path, "gzip level " + std::to_string(options.level) + " is not 0-9");
  // Writing recurses as reading does, and a deeper file could not be read back.
  if (Depth(root) > static_cast<size_t>(CResItem::kMaxReadDepth)) {
    return Status::Error(Status::Kind::kTooLarge, path, TooDeep());
  }
  const std::string failure = ReplaceFileWith(path, [&](const std::u16string& file) {
    if (options.gzip) {
      Serial::GZFileStreamOut out(file, options.level);
      WriteTree(root, out);
      return out.Close();
    }
    Serial::FileStreamOut out(file);
    WriteTree(root, out);
    return out.Close();
  }, {.sync = options.sync, .unnamed = true});
  if (!failure.empty()) return Status::Error(Status::Kind::kWriteFailed, path, failure);
  return Status::Ok();
}

Status LoadProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                       ProjectReader reader) {
  unsigned char magic[2] = {0, 0};
  size_t got = 0;
  if (FILE* f = std::fopen(NativePath(path).c_str(), "rb")) {
    got = std::fread(magic, 1, 2, f);
    std::fclose(f);
  } else {
    return Status::CannotOpen(path, SystemError("cannot open file"));
  }
  if (IsGzipData(magic, got)) {
    Serial::GZFileStreamIn in(path);
    return ReadTree(in, [&] { return in.HasError(); }, reader, path, root);
  }
  Serial::FileStreamIn in(path);
  return ReadTree(in, [] { return false; }, reader, path, root);
}

Status LoadProjectFromMemory(const unsigned char* data, size_t size,
                                 std::unique_ptr<CResItem>& root, ProjectReader reader,
                                 const std::u16string& name) {
  if (size > UINT32_MAX) return Status::Error(Status::Kind::kTooLarge, name, "file too large");
  Serial::MemoryStreamIn in(data, static_cast<uint32_t>(size));
  return ReadTree(in, [] { return false; }, reader, name, root);
}

}  // namespace locmodel
