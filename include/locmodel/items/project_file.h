// Project files: a root item and its tree saved in the binary serial format,
// plain or gzip, and loaded back.
//
// Saving is atomic: the file is written under a temporary name beside the
// target and renamed over it only when every byte was written, so a failed
// save leaves the old file (or none) in place. Loading tells gzip from plain
// by content, and hands a tree to the caller only when the whole file read
// cleanly: a malformed, truncated or too deeply nested file is an error
// value, never an exception, a crash or a half-built tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/serial/streams.h"
#include "locmodel/util/status.h"

namespace locmodel {

// How far a load or a save has come, for a host's progress display. Bytes
// are those of the project data, uncompressed; `total` is 0 when it is not
// known beforehand (a gzip file while loading, any file while saving).
struct Progress {
  uint64_t bytes = 0;
  uint64_t total = 0;
};
// Called on the loading or saving thread after every kProgressStep bytes,
// and once more with the final count when the data are complete. It should
// return quickly; it cannot stop the work.
using ProgressCallback = std::function<void(const Progress&)>;
inline constexpr uint64_t kProgressStep = uint64_t{1} << 20;

struct SaveOptions {
  bool gzip = false;
  unsigned level = 2;  // gzip compression level, 0-9
  // Whether the file reaches the disk before the save returns. Only hosts
  // that write scratch files they can rebuild should turn it off.
  bool sync = true;
  ProgressCallback progress = nullptr;
};

enum class ProjectReader {
  Tree,        // finds nodes by name: reads files of other versions too
  Sequential,  // strictly in the order of writing: the fastest
};

// The tree reader's nodes and fields may cost this many times the size of
// the file (as stored: compressed if it is gzip), or 16 MiB in a smaller one.
inline constexpr uint32_t kTreeBudgetMultiple = 64;

struct LoadOptions {
  ProjectReader reader = ProjectReader::Tree;
  ProgressCallback progress = nullptr;
  // Budgets against hostile files, each refused with an error when exceeded
  // (see README, "Limits"): the decompressed bytes of a gzip file, and the
  // tree reader's memory as a multiple of the file's size.
  uint64_t inflate_limit = Serial::DefaultInflateLimit();
  uint32_t tree_budget_multiple = kTreeBudgetMultiple;
};

// True when `data` starts with the gzip magic (1F 8B): how a compressed
// project file, or any other gzip stream, is told from a plain one.
bool IsGzipData(const void* data, size_t size);

// The bytes of a project file holding `root`, uncompressed. The tree must
// not nest deeper than CResItem::kMaxReadDepth.
std::vector<unsigned char> SaveProjectToMemory(CResItem& root);
// Refuses a tree nested deeper than CResItem::kMaxReadDepth, which no reader
// would take back.
Status SaveProject(CResItem& root, const std::u16string& path, SaveOptions options = {});

// On success `root` holds the loaded tree; on failure it is left as it was.
// A file that may also be a project database is opened by LoadAnyProject
// (storage/project_database.h).
Status LoadProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                   ProjectReader reader = ProjectReader::Tree);
Status LoadProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                   const LoadOptions& options);
// The bytes of a project file, plain or gzip (told apart by content, as for
// a file); errors name `name`. This is how a host loads a project it
// received through a pipe or a socket.
Status LoadProjectFromMemory(const unsigned char* data, size_t size,
                             std::unique_ptr<CResItem>& root,
                             ProjectReader reader = ProjectReader::Tree,
                             const std::u16string& name = u"(memory)");
Status LoadProjectFromMemory(const unsigned char* data, size_t size,
                             std::unique_ptr<CResItem>& root, const LoadOptions& options,
                             const std::u16string& name = u"(memory)");

}  // namespace locmodel
