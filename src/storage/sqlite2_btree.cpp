#include "storage/sqlite2_btree.h"

#include <bitset>

namespace locmodel::sqlite2 {
namespace {

// Page layout (doc/sqlite2-format.md): an 8-byte header, then cells and free
// blocks, all at 4-byte boundaries.
constexpr uint32_t kPageHeader = 8;
constexpr uint32_t kUsable = kPageSize - kPageHeader;  // 1016: cells + free blocks
constexpr uint32_t kCellHeader = 12;
constexpr uint32_t kMaxLocal = 236;                 // payload bytes kept on the page
constexpr uint32_t kOverflowData = kPageSize - 4;   // payload bytes per overflow page
constexpr uint32_t kMaxCellOffset = kPageSize - 16;  // room for a header and 4 bytes
constexpr size_t kMaxDepth = 64;                    // far beyond any real file

uint32_t KeySize(const unsigned char* cell, const Pager& pager) {
  return pager.U16(cell + 4) | uint32_t{cell[8]} << 16;
}
uint32_t DataSize(const unsigned char* cell, const Pager& pager) {
  return pager.U16(cell + 10) | uint32_t{cell[9]} << 16;
}
uint32_t CellSize(uint32_t payload) {
  return payload <= kMaxLocal ? kCellHeader + ((payload + 3) & ~3u) : kCellHeader + kMaxLocal + 4;
}

}  // namespace

BTreeWalk::BTreeWalk(const Pager& pager, uint32_t root, PageSet* pages, Payload payload)
    : pager_(pager), root_(root), pages_(pages), payload_(payload) {}

bool BTreeWalk::Fail(std::string reason) {
  if (status_.ok()) status_ = sqlite2::Malformed(std::move(reason));
  done_ = true;
  return false;
}

bool BTreeWalk::Next() {
  if (done_) return false;
  if (!started_) {
    started_ = true;
    if (!Descend(root_)) return false;
  }
  while (depth_ > 0) {
    Frame& frame = frames_[depth_ - 1];
    if (frame.position > 2 * frame.cell_count) {
      --depth_;
      continue;
    }
    const int position = frame.position++;
    const int index = position / 2;
    if (position % 2 == 0) {
      const uint32_t child =
          index < frame.cell_count ? pager_.U32(frame.bytes + frame.cells[index]) : frame.right_child;
      if (child != 0 && !Descend(child)) return false;
      continue;
    }
    return Yield(frame, frame.cells[index]);
  }
  done_ = true;
  return false;
}

bool BTreeWalk::Descend(uint32_t page) {
  std::string reason;
  if (!pages_->Take(page, reason)) return Fail(reason);
  if (depth_ == kMaxDepth) return Fail("b-tree deeper than " + std::to_string(kMaxDepth) + " levels");
  if (depth_ == frames_.size()) {
    frames_.emplace_back();
    frames_.back().buffer.resize(kPageSize);
  }
  Frame& frame = frames_[depth_];
  frame.page = page;
  frame.bytes = pager_.Read(page, frame.buffer.data());
  if (!frame.bytes) return Fail("page " + std::to_string(page) + " cannot be read");
  if (!ParsePage(frame, depth_ == 0)) return false;
  ++depth_;
  if (frame.right_child == 0) {
    if (leaf_depth_ == 0) leaf_depth_ = depth_;
    if (leaf_depth_ != depth_) return Fail("leaves at different depths (page " + std::to_string(page) + ")");
  }
  return true;
}

bool BTreeWalk::ParsePage(Frame& frame, bool is_root) {
  const unsigned char* p = frame.bytes;
  auto fail = [&](const std::string& reason) { return Fail(reason + " on page " + std::to_string(frame.page)); };
  // Each 4-byte unit of the page belongs to at most one cell or free block;
  // with the sum below, cells and free blocks then tile the page exactly.
  std::bitset<kPageSize / 4> taken;
  auto take = [&](uint32_t offset, uint32_t size) {
    for (uint32_t unit = offset / 4; unit < (offset + size) / 4; ++unit) {
      if (taken[unit]) return false;
      taken[unit] = true;
    }
    return true;
  };

  frame.right_child = pager_.U32(p);
  frame.cell_count = 0;
  frame.position = 0;
  uint32_t total = 0;
  // The cells form a list in key order; their places on the page say
  // nothing. A list longer than a page can hold means a loop.
  for (uint32_t offset = pager_.U16(p + 4); offset != 0; offset = pager_.U16(p + offset + 6)) {
    if (frame.cell_count == kMaxCells) return fail("more than 63 cells");
    if (offset % 4 != 0 || offset < kPageHeader || offset > kMaxCellOffset)
      return fail("cell offset " + std::to_string(offset) + " out of range");
    const unsigned char* cell = p + offset;
    const uint32_t size = CellSize(KeySize(cell, pager_) + DataSize(cell, pager_));
    if (offset + size > kPageSize) return fail("cell at " + std::to_string(offset) + " overruns its page");
    if (!take(offset, size)) return fail("cells overlap");
    // A leaf has no children at all, an interior page one left of each cell.
    if ((pager_.U32(cell) == 0) != (frame.right_child == 0))
      return fail("cell and page disagree about children");
    frame.cells[frame.cell_count++] = static_cast<uint16_t>(offset);
    total += size;
  }
  // Free blocks are listed in increasing address order, which bounds the list.
  uint32_t previous = 0;
  for (uint32_t offset = pager_.U16(p + 6); offset != 0; offset = pager_.U16(p + offset + 2)) {
    if (offset % 4 != 0 || offset < kPageHeader || offset <= previous || offset > kPageSize - 4)
      return fail("free block offset " + std::to_string(offset) + " out of order or range");
    const uint32_t size = pager_.U16(p + offset);
    if (size < 4 || size % 4 != 0 || offset + size > kPageSize)
      return fail("free block at " + std::to_string(offset) + " has a bad size");
    if (!take(offset, size)) return fail("free block overlaps a cell");
    total += size;
    previous = offset;
  }
  if (frame.cell_count == 0 && !is_root) return fail("empty page below the root");
  // The engine would read a page of zeros as an empty root, but it never
  // writes one (a new root gets a free block of the whole page): zeros are
  // a wiped page, and its rows would silently vanish.
  if (total != kUsable) return fail("cells and free space do not fill the page");
  return true;
}

bool BTreeWalk::Yield(const Frame& frame, uint16_t offset) {
  const unsigned char* cell = frame.bytes + offset;
  const uint32_t key_size = KeySize(cell, pager_);
  const uint32_t data_size = DataSize(cell, pager_);
  const uint64_t payload = uint64_t{key_size} + data_size;
  auto fail = [&](const std::string& reason) {
    return Fail(reason + " in cell at " + std::to_string(offset) + " of page " + std::to_string(frame.page));
  };
  if (payload_ == Payload::kAssemble && data_size > kMaxRowBytes)
    return fail("row of " + std::to_string(data_size) + " bytes");
  const char* local = reinterpret_cast<const char*>(cell + kCellHeader);
  if (payload <= kMaxLocal) {
    key_ = std::string_view(local, key_size);
    data_ = std::string_view(local + key_size, data_size);
    return true;
  }
  // The chain must have exactly the pages the size calls for; each page is
  // taken from the page set, so a loop or a shared page ends the walk.
  if (payload > kMaxLocal + uint64_t{kOverflowData} * pager_.page_count())
    return fail("payload of " + std::to_string(payload) + " bytes larger than the file");
  const bool assemble = payload_ == Payload::kAssemble;
  if (assemble) assembled_.assign(local, kMaxLocal);
  overflow_buffer_.resize(kPageSize);
  uint64_t remaining = payload - kMaxLocal;
  uint32_t next = pager_.U32(cell + kCellHeader + kMaxLocal);
  while (remaining > 0) {
    if (next == 0) return fail("overflow chain shorter than its payload");
    std::string reason;
    if (!pages_->Take(next, reason)) return fail(reason + " (overflow chain)");
    const unsigned char* page = pager_.Read(next, overflow_buffer_.data());
    if (!page) return Fail("page " + std::to_string(next) + " cannot be read");
    const uint32_t chunk = remaining < kOverflowData ? static_cast<uint32_t>(remaining) : kOverflowData;
    if (assemble) assembled_.append(reinterpret_cast<const char*>(page + 4), chunk);
    remaining -= chunk;
    next = pager_.U32(page);
  }
  if (next != 0) return fail("overflow chain longer than its payload");
  if (assemble) {
    key_ = std::string_view(assembled_).substr(0, key_size);
    data_ = std::string_view(assembled_).substr(key_size);
  } else {
    key_ = data_ = std::string_view();
  }
  return true;
}

}  // namespace locmodel::sqlite2
