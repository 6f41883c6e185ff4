#include "locmodel/serial/binary_serial.h"

#include <algorithm>
#include <cstring>

#include "util/coding.h"

namespace Serial::Binary {
namespace {

constexpr unsigned char kTagEnter = 0x18;
constexpr unsigned char kTagLeave = 0x19;
constexpr unsigned char kTagField = 0x1A;

const NodeName& RootName() {
  static const NodeName root(u"Root");
  return root;
}

}  // namespace

BinarySerialOut::BinarySerialOut(IStreamOut& out, VersionInfo version)
    : out_(out), version_(version == UNDEFINED_SCHEME_VERSION ? CURRENT_SCHEME_VERSION : version) {
  version_.Do(*this);
  EnterNode(RootName());
}

BinarySerialOut::~BinarySerialOut() {
  Put(&kTagLeave, 1);
  Flush();
}

void BinarySerialOut::Put(const void* data, size_t size) {
  if (size == 0) return;  // an empty field may come without an address
  if (size > sizeof buffer_ - used_) {
    Flush();
    if (size >= sizeof buffer_) {
      out_.write(data, static_cast<uint32_t>(size));
      return;
    }
  }
  std::memcpy(buffer_ + used_, data, size);
  used_ += size;
}

void BinarySerialOut::Flush() {
  if (used_) out_.write(buffer_, static_cast<uint32_t>(used_));
  used_ = 0;
}

bool BinarySerialOut::EnterNode(const NodeName& name) {
  // Tag, type, length and text go out in one write.
  unsigned char bytes[3 + 2 * MAX_NODE_NAME_LEN];
  size_t n = 0;
  bytes[n++] = kTagEnter;
  bytes[n++] = static_cast<unsigned char>(name.GetType());
  if (name.GetType() == NodeName::String) {
    const std::u16string& text = name.GetStrValue();
    const size_t length = std::min<size_t>(text.size(), MAX_NODE_NAME_LEN);
    bytes[n++] = static_cast<unsigned char>(length);
    locmodel::coding::EncodeUtf16(bytes + n, text.data(), length);
    n += 2 * length;
  } else if (name.GetType() == NodeName::Byte) {
    bytes[n++] = name.GetByteValue();
  }
  Put(bytes, n);
  ++depth_;
  return true;
}

void BinarySerialOut::LeaveNode() {
  Put(&kTagLeave, 1);
  --depth_;
}

const void* BinarySerialOut::ReadField(unsigned int& /*size*/) { return nullptr; }

void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  // Small fields (every primitive) go out with their header in one write.
  unsigned char bytes[5 + 16];
  bytes[0] = kTagField;
  locmodel::coding::EncodeFixed32(bytes + 1, size);
  Put(bytes, 5);
  Put(data, size);
}

BinarySerialIn::BinarySerialIn(IStreamIn& in) : scanner_(in), version_(UNDEFINED_SCHEME_VERSION) {
  version_.Do(*this);
  EnterNode(RootName());
}

bool BinarySerialIn::EnterNode(const NodeName& name) {
  // The expected item, encoded as the writer would, compared in place with
  // the read-ahead; anything else (a name split by a refill, another type
  // byte for an anonymous node, a mismatch) takes the scanner's slow path.
  // A text name too long for any stream goes straight to it and fails there.
  unsigned char bytes[3 + 2 * MAX_NODE_NAME_LEN];
  size_t n = 0;
  const std::u16string& text = name.GetStrValue();
  if (name.GetType() != NodeName::String || text.size() <= MAX_NODE_NAME_LEN) {
    bytes[n++] = kTagEnter;
    bytes[n++] = static_cast<unsigned char>(name.GetType());
    if (name.GetType() == NodeName::String) {
      bytes[n++] = static_cast<unsigned char>(text.size());
      locmodel::coding::EncodeUtf16(bytes + n, text.data(), text.size());
      n += 2 * text.size();
    } else if (name.GetType() == NodeName::Byte) {
      bytes[n++] = name.GetByteValue();
    }
  }
  if (const unsigned char* next = scanner_.Peek(n); n && next && std::memcmp(next, bytes, n) == 0) {
    scanner_.Consume(n, +1);
    return true;
  }
  if (scanner_.Next() != BinaryScanner::Item::EnterNode || !scanner_.NameIs(name))
    throw Exceptions::FormatIO();
  return true;
}

void BinarySerialIn::LeaveNode() {
  if (const unsigned char* next = scanner_.Peek(1);
      next && *next == kTagLeave && scanner_.depth() > 0) {
    scanner_.Consume(1, -1);
    return;
  }
  if (scanner_.Next() != BinaryScanner::Item::LeaveNode) throw Exceptions::FormatIO();
}

const void* BinarySerialIn::ReadField(unsigned int& size) {
  if (const unsigned char* next = scanner_.Peek(5); next && *next == kTagField) {
    const uint32_t length = locmodel::coding::DecodeFixed32(next + 1);
    if (const unsigned char* whole = scanner_.Peek(5 + size_t{length})) {
      if (field_.size() < length) field_.resize(length);
      if (length) std::memcpy(field_.data(), whole + 5, length);
      scanner_.Consume(5 + size_t{length}, 0);
      size = length;
      return field_.data();
    }
  }
  if (scanner_.Next() != BinaryScanner::Item::Field) throw Exceptions::FormatIO();
  size = scanner_.field_size();
  return scanner_.field_data();
}

void BinarySerialIn::WriteField(unsigned int /*size*/, const void* /*data*/) {}

}  // namespace Serial::Binary
