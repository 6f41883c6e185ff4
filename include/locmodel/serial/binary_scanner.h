// Reads the binary serial encoding one item at a time, without knowing the
// classes that wrote it. The sequential reader, the tree reader and the
// inspection tools all stand on it, so every reader judges the bytes alike.
//
// The encoding (see doc/binary-format.md): little-endian, three tags —
//   0x18 enter node, followed by the encoded name
//        (type byte; type 1: length byte 0-200 and UTF-16LE text;
//         type 2: the byte value; any other type: nothing, anonymous)
//   0x19 leave node
//   0x1A field, followed by a 32-bit length and that many bytes.
//
// Hostile input is normal input: the scanner never reads out of bounds, and a
// declared field length is never allocated ahead of the bytes that actually
// arrive (the buffer grows in bounded steps as data is delivered). Malformed
// structure is reported as Item::Malformed with a reason and the offset where
// the bad item starts; after that the scanner stays malformed.
#pragma once

#include <cstdint>
#include <vector>

#include "locmodel/serial/node_name.h"
#include "locmodel/serial/streams.h"

namespace Serial::Binary {

inline constexpr unsigned char kTagEnter = 0x18;  // then the encoded node name
inline constexpr unsigned char kTagLeave = 0x19;
inline constexpr unsigned char kTagField = 0x1A;  // then a 32-bit length and the bytes

// Memory straight from the system for the read-ahead (two blocks of 64 KB at
// most, whatever the stream). A block this large taken from malloc makes
// glibc first merge every small block freed since (after a project was
// closed, hundreds of thousands), which cost half of the next load.
// Throws std::bad_alloc when the system refuses.
void* MapBlock(size_t bytes);
void UnmapBlock(void* block, size_t bytes);

template <typename T>
struct MappedAllocator {
  using value_type = T;
  MappedAllocator() = default;
  template <typename U>
  MappedAllocator(const MappedAllocator<U>&) {}
  T* allocate(size_t count) { return static_cast<T*>(MapBlock(count * sizeof(T))); }
  void deallocate(T* block, size_t count) { UnmapBlock(block, count * sizeof(T)); }
  bool operator==(const MappedAllocator&) const = default;
};

class BinaryScanner {
 public:
  enum class Item { EnterNode, LeaveNode, Field, End, Malformed };

  explicit BinaryScanner(IStreamIn& in);
  BinaryScanner(const BinaryScanner&) = delete;
  BinaryScanner& operator=(const BinaryScanner&) = delete;

  // Reads the next item. End means the data ended cleanly at depth 0.
  Item Next();

  // The name of the node just entered.
  const NodeName& name() const;
  // The next `count` bytes in place, or null when the read-ahead does not
  // hold them (the caller then falls back to Next). Consume(count, change)
  // takes such bytes as one whole item that changes the depth by `change`;
  // ConsumeField takes them as a whole field item and returns its data,
  // which stays valid as field_data() does.
  // (Once the data is malformed the read-ahead is emptied, so Peek finds
  // nothing and callers meet the error through Next.)
  const unsigned char* Peek(size_t count) const {
    return end_ - pos_ >= count ? chunk_.data() + pos_ : nullptr;
  }
  void Consume(size_t count, int change) {
    item_offset_ = base_ + pos_;
    pos_ += count;
    depth_ += change;
  }
  const unsigned char* ConsumeField(size_t count) {
    const unsigned char* item = chunk_.data() + pos_;
    Consume(count, 0);
    field_chunk_ = chunk_.data();
    return item + kFieldHeaderSize;
  }
  // The tag and 32-bit length in front of every field's data.
  static constexpr size_t kFieldHeaderSize = 5;
  // Whether the node just entered has this name (without building it).
  bool NameIs(const NodeName& name) const;
  // The bytes of the field just read; valid until the next field is read
  // (by Next or ConsumeField), whatever other items are read before it.
  const unsigned char* field_data() const { return field_data_; }
  uint32_t field_size() const { return field_size_; }
  // Nodes open after the last item.
  uint32_t depth() const { return depth_; }
  // Byte offset in the stream where the last item began.
  uint64_t item_offset() const { return item_offset_; }
  // Why the data is malformed; empty unless Next returned Malformed.
  const char* error() const { return error_; }

 private:
  int GetByte();
  bool GetBytes(void* dst, uint32_t count);
  const unsigned char* Take(uint32_t count, unsigned char* scratch);
  bool ReadFieldBytes(uint32_t length);
  bool Refill();
  Item Fail(const char* reason);

  IStreamIn& in_;
  using ReadAhead = std::vector<unsigned char, MappedAllocator<unsigned char>>;
  ReadAhead chunk_;  // read-ahead from the byte stream
  // Fields are handed out in place in the read-ahead. The buffer holding the
  // last one is never refilled: a refill then moves to `spare_`, so the two
  // take turns and the field stays valid without a copy.
  ReadAhead spare_;  // empty until first needed
  const unsigned char* field_chunk_ = nullptr;  // the buffer of the last field, if in place
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  uint64_t base_ = 0;  // stream offset of chunk_[0]
  uint64_t item_offset_ = 0;
  uint32_t depth_ = 0;
  NodeName::Type name_type_ = NodeName::None;
  unsigned char name_byte_ = 0;
  std::u16string text_;
  mutable NodeName name_;
  mutable bool name_built_ = true;
  std::vector<unsigned char> field_;  // fields split by a refill; grows, never shrinks
  const unsigned char* field_data_ = nullptr;
  uint32_t field_size_ = 0;
  const char* error_ = "";
  char error_text_[48] = {};
};

}  // namespace Serial::Binary
