#include "locmodel/serial/binary_scanner.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "util/coding.h"

namespace Serial::Binary {
namespace {

constexpr unsigned char kTagEnter = 0x18;
constexpr unsigned char kTagLeave = 0x19;
constexpr unsigned char kTagField = 0x1A;

// Bytes asked of the byte stream at a time.
constexpr size_t kChunkSize = 64 * 1024;
// A field buffer grows by at most this much, or by the bytes already
// delivered, before more data has to arrive: a hostile length costs nothing.
constexpr size_t kGrowthStep = 64 * 1024;

}  // namespace

// The field buffer starts non-empty so that an empty field still has an address:
// readers tell "no field" by a null pointer.
BinaryScanner::BinaryScanner(IStreamIn& in) : in_(in), chunk_(kChunkSize), field_(16) {}

bool BinaryScanner::Refill() {
  if (eof_) return false;
  pos_ = 0;
  end_ = in_.read(chunk_.data(), static_cast<uint32_t>(chunk_.size()));
  // Streams signal the end by a short count; another read could block or
  // repeat an error, so a short count ends the data for good.
  if (end_ < chunk_.size()) eof_ = true;
  return end_ > 0;
}

int BinaryScanner::GetByte() {
  if (pos_ == end_ && !Refill()) return -1;
  ++consumed_;
  return chunk_[pos_++];
}

bool BinaryScanner::GetBytes(void* dst, uint32_t count) {
  auto* out = static_cast<unsigned char*>(dst);
  while (count > 0) {
    if (pos_ == end_ && !Refill()) return false;
    const size_t n = std::min<size_t>(count, end_ - pos_);
    std::memcpy(out, chunk_.data() + pos_, n);
    pos_ += n, out += n, count -= static_cast<uint32_t>(n), consumed_ += n;
  }
  return true;
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

BinaryScanner::Item BinaryScanner::Fail(const char* reason) {
  error_ = reason;
  return Item::Malformed;
}

BinaryScanner::Item BinaryScanner::Next() {
  if (*error_) return Item::Malformed;
  item_offset_ = consumed_;
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
        unsigned char bytes[2 * 255];
        if (!GetBytes(bytes, 2 * length)) return Fail("data ends inside a node name");
        locmodel::coding::DecodeUtf16(text_, bytes, length);
        name_ = NodeName(text_);
      } else if (type == NodeName::Byte) {
        const int value = GetByte();
        if (value < 0) return Fail("data ends inside a node name");
        name_ = NodeName(static_cast<unsigned char>(value));
      } else {
        name_ = NodeName();
      }
      ++depth_;
      return Item::EnterNode;
    }
    case kTagLeave:
      if (depth_ == 0) return Fail("leave tag closes no node");
      --depth_;
      return Item::LeaveNode;
    case kTagField: {
      unsigned char length[4];
      if (!GetBytes(length, 4)) return Fail("data ends inside a field length");
      field_size_ = locmodel::coding::DecodeFixed32(length);
      if (!ReadFieldBytes(field_size_)) return Fail("data ends inside a field");
      return Item::Field;
    }
    default:
      std::snprintf(error_text_, sizeof error_text_, "unknown tag 0x%02x", tag);
      return Fail(error_text_);
  }
}

}  // namespace Serial::Binary
