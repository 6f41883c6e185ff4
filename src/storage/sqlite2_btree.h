// The walk of one SQLite 2 b-tree in key order, with every page and cell
// checked before it is used.
//
// SQLite 2 trees are true b-trees: interior cells carry entries too. The
// entries of a page in key order are, for each cell of its linked list, the
// entries under the cell's left child and then the cell; after the last cell,
// the entries under the right child. The walk keeps one frame per level, so
// a hostile depth costs a bounded heap, never stack.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/sqlite2_pager.h"

namespace locmodel::sqlite2 {

class BTreeWalk {
 public:
  // What a walk does with each entry's payload (key and data).
  enum class Payload {
    kAssemble,   // gather it for key() and data()
    kStructure,  // only follow its overflow chain (indexes: nothing is read)
  };

  // Walks the tree rooted at `root`, taking each page it meets from `pages`
  // (which outlives the walk). With kAssemble the data must fit a row
  // (kMaxRowBytes).
  BTreeWalk(const Pager& pager, uint32_t root, PageSet* pages, Payload payload);

  // Moves to the next entry in key order. False at the end and on damage;
  // the status tells which.
  bool Next();
  // The current entry's bytes (kAssemble only), valid until the next call.
  std::string_view key() const { return key_; }
  std::string_view data() const { return data_; }
  const Status& status() const { return status_; }

 private:
  static constexpr int kMaxCells = 63;  // 1016 usable bytes / 16-byte cell minimum

  struct Frame {
    uint32_t page = 0;
    const unsigned char* bytes = nullptr;  // the page, in `buffer` or the pager
    std::vector<unsigned char> buffer;
    uint16_t cells[kMaxCells] = {};  // cell offsets in key order
    int cell_count = 0;
    uint32_t right_child = 0;
    // Position in the page's sequence: 2i descends left of cell i (2n: right
    // child), 2i+1 yields cell i.
    int position = 0;
  };

  bool Descend(uint32_t page);
  bool ParsePage(Frame& frame, bool is_root);
  bool Yield(const Frame& frame, uint16_t cell);
  bool Fail(std::string reason);

  const Pager& pager_;
  const uint32_t root_;
  PageSet* pages_;
  const Payload payload_;
  std::vector<Frame> frames_;  // frames_[0..depth_) are live; the rest wait for reuse
  size_t depth_ = 0;
  size_t leaf_depth_ = 0;  // every leaf lies at the same depth
  bool started_ = false;
  bool done_ = false;
  std::string assembled_;  // payload that spilled into overflow pages
  std::vector<unsigned char> overflow_buffer_;
  std::string_view key_, data_;
  Status status_;
};

// The most data a row holds: the engine refuses to write a bigger row.
constexpr uint32_t kMaxRowBytes = 1 << 20;

}  // namespace locmodel::sqlite2
