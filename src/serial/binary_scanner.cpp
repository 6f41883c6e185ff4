#include "locmodel/serial/binary_scanner.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "serial/root_name.h"
#include "locmodel/util/coding.h"

namespace Serial::Binary {
namespace {

// Bytes asked of the byte stream at a time.
constexpr size_t kChunkSize = 64 * 1024;
// A field buffer grows by at most this much, or by the bytes already
// delivered, before more data has to arrive: a hostile length costs nothing.
constexpr size_t kGrowthStep = 64 * 1024;

}  // namespace

void* MapBlock(size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return block;
}

void UnmapBlock(void* block, size_t bytes) { munmap(block, bytes); }

// An empty field still has an address (in the read-ahead, which is never
// empty): readers tell "no field" by a null pointer.
BinaryScanner::BinaryScanner(IStreamIn& in) : in_(in), chunk_(kChunkSize) {}

bool BinaryScanner::Refill() {
  if (eof_) return false;
  if (field_chunk_ == chunk_.data()) {
    if (spare_.empty()) spare_.resize(kChunkSize);
    chunk_.swap(spare_);
  }
  base_ += end_;
  pos_ = 0;
  end_ = in_.read(chunk_.data(), static_cast<uint32_t>(chunk_.size()));
  // Streams signal the end by a short count; another read could block or
  // repeat an error, so a short count ends the data for good.
  if (end_ < chunk_.size()) eof_ = true;
  return end_ > 0;
}

int BinaryScanner::GetByte() {
  if (pos_ == end_ && !Refill()) return -1;
  return chunk_[pos_++];
}

bool BinaryScanner::GetBytes(void* dst, uint32_t count) {
  auto* out = static_cast<unsigned char*>(dst);
  while (count > 0) {
    if (pos_ == end_ && !Refill()) return false;
    const size_t n = std::min<size_t>(count, end_ - pos_);
    std::memcpy(out, chunk_.data() + pos_, n);
    pos_ += n, out += n, count -= static_cast<uint32_t>(n);
  }
  return true;
}

const unsigned char* BinaryScanner::Take(uint32_t count, unsigned char* scratch) {
  if (end_ - pos_ >= count) {
    const unsigned char* in_place = chunk_.data() + pos_;
    pos_ += count;
    return in_place;
  }
  return GetBytes(scratch, count) ? scratch : nullptr;
}

bool BinaryScanner::ReadFieldBytes(uint32_t length) {
  size_t got = 0;
  while (got < length) {
    const size_t step = std::min<size_t>(length - got, std::max(got, kGrowthStep));
    if (field_.size() < got + step) field_.resize(got + step);
    if (!GetBytes(field_.data() + got, static_cast<uint32_t>(step))) return false;
    got += step;
  }
  return true;
}

const NodeName& BinaryScanner::name() const {
  if (!name_built_) {
    name_ = name_type_ == NodeName::String ? NodeName(text_)
            : name_type_ == NodeName::Byte ? NodeName(name_byte_)
                                           : NodeName();
    name_built_ = true;
  }
  return name_;
}

bool BinaryScanner::NameIs(const NodeName& name) const {
  if (name.GetType() != name_type_) return false;
  if (name_type_ == NodeName::String) return name.GetStrValue() == text_;
  return name_type_ != NodeName::Byte || name.GetByteValue() == name_byte_;
}

BinaryScanner::Item BinaryScanner::Fail(const char* reason) {
  error_ = reason;
  end_ = pos_;
  return Item::Malformed;
}

BinaryScanner::Item BinaryScanner::Next() {
  if (*error_) return Item::Malformed;
  item_offset_ = base_ + pos_;
  const int tag = GetByte();
  if (tag < 0) return depth_ > 0 ? Fail("data ends inside a node") : Item::End;

  switch (tag) {
    case kTagEnter: {
      const int type = GetByte();
      if (type < 0) return Fail("data ends inside a node name");
      if (type == NodeName::String) {
        const int length = GetByte();
        if (length < 0) return Fail("data ends inside a node name");
        if (static_cast<unsigned>(length) > MAX_NODE_NAME_LEN)
          return Fail("node name longer than 200 code units");
        unsigned char scratch[2 * MAX_NODE_NAME_LEN];
        const unsigned char* bytes = Take(2 * length, scratch);
        if (!bytes) return Fail("data ends inside a node name");
        locmodel::coding::DecodeUtf16(text_, bytes, length);
        name_type_ = NodeName::String;
        name_built_ = false;
      } else if (type == NodeName::Byte) {
        const int value = GetByte();
        if (value < 0) return Fail("data ends inside a node name");
        name_type_ = NodeName::Byte;
        name_byte_ = static_cast<unsigned char>(value);
        name_built_ = false;
      } else {
        name_type_ = NodeName::None;
        name_built_ = false;
      }
      ++depth_;
      return Item::EnterNode;
    }
    case kTagLeave:
      if (depth_ == 0) return Fail("leave tag closes no node");
      --depth_;
      return Item::LeaveNode;
    case kTagField: {
      unsigned char scratch[4];
      const unsigned char* length = Take(4, scratch);
      if (!length) return Fail("data ends inside a field length");
      field_size_ = locmodel::coding::DecodeFixed32(length);
      // A field that lies wholly in the read-ahead stays there (Refill
      // spares its buffer); one split by a refill is gathered in field_.
      if (end_ - pos_ >= field_size_) {
        field_data_ = chunk_.data() + pos_;
        field_chunk_ = chunk_.data();
        pos_ += field_size_;
        return Item::Field;
      }
      // A length the rest of the stream cannot hold fails at once, not once
      // memory is full of what a gzip bomb expands to.
      field_chunk_ = nullptr;
      if (field_size_ - (end_ - pos_) > (eof_ ? 0 : in_.Remaining()) || !ReadFieldBytes(field_size_))
        return Fail("data ends inside a field");
      field_data_ = field_.data();
      return Item::Field;
    }
    default:
      std::snprintf(error_text_, sizeof error_text_, "unknown tag 0x%02x", tag);
      return Fail(error_text_);
  }
}

}  // namespace Serial::Binary
