#include "locmodel/serial/binary_serial.h"

#include <algorithm>
#include <cstring>

#include "serial/binary_tags.h"
#include "serial/binary_take.h"
#include "util/coding.h"

namespace Serial::Binary {
namespace {

// Fields of the primitive widths are copied with a fixed size, which the
// compiler makes a single move; for them a call of the library's memcpy
// (which must first sort the size) costs several times the copy itself.
void CopyFieldData(unsigned char* dst, const void* data, size_t size) {
  switch (size) {
    case 0: return;  // an empty field may come without an address
    case 1: std::memcpy(dst, data, 1); return;
    case 2: std::memcpy(dst, data, 2); return;
    case 4: std::memcpy(dst, data, 4); return;
    case 8: std::memcpy(dst, data, 8); return;
    default: std::memcpy(dst, data, size);
  }
}

}  // namespace

BinarySerialOut::BinarySerialOut(IStreamOut& out, VersionInfo version)
    : out_(out),
      version_(version == UNDEFINED_SCHEME_VERSION ? CURRENT_SCHEME_VERSION : version),
      buffer_(new unsigned char[kBufferSize]) {
  version_.Do(*this);
  EnterNode(RootName());
}

BinarySerialOut::~BinarySerialOut() {
  buffer_[used_++] = kTagLeave;
  Flush();
}

// Items are built in the buffer itself: assembling them elsewhere and
// copying them in costs a second pass over every byte. The buffer always
// keeps room for the head of any item, so only field data can overflow it.
//
// Writers take the start in a local and set used_ once, through Commit:
// bytes stored through a char pointer might alias used_, so the compiler
// would otherwise reload it after each store, a chain of store-to-load
// delays running through every item of the stream.
void BinarySerialOut::Commit(size_t end) {
  static_assert(BinaryScanner::kFieldHeaderSize <= kHeadroom);
  used_ = end;
  if (kBufferSize - used_ < kHeadroom) Flush();
}

void BinarySerialOut::Flush() {
  if (used_) out_.write(buffer_.get(), static_cast<uint32_t>(used_));
  used_ = 0;
}

bool BinarySerialOut::EnterNode(const NodeName& name) {
  const NodeName::Type type = name.GetType();
  const size_t at = used_;
  unsigned char* item = buffer_.get() + at;
  item[0] = kTagEnter;
  item[1] = static_cast<unsigned char>(type);
  size_t size = 2;
  if (type == NodeName::String) {
    const std::u16string& text = name.GetStrValue();
    const size_t length = std::min<size_t>(text.size(), MAX_NODE_NAME_LEN);
    item[2] = static_cast<unsigned char>(length);
    locmodel::coding::EncodeUtf16(item + 3, text.data(), length);
    size = 3 + 2 * length;
  } else if (type == NodeName::Byte) {
    item[2] = name.GetByteValue();
    size = 3;
  }
  Commit(at + size);
  return true;
}

void BinarySerialOut::LeaveNode() {
  const size_t at = used_;
  buffer_[at] = kTagLeave;
  Commit(at + 1);
}

const void* BinarySerialOut::ReadField(unsigned int& /*size*/) { return nullptr; }

void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  const size_t at = used_;
  const size_t data_at = at + BinaryScanner::kFieldHeaderSize;
  if (data_at + size > kBufferSize - kHeadroom) {
    WriteFieldSlowly(size, data);
    return;
  }
  // The common case ends in the copy, so it needs no stack frame.
  unsigned char* item = WriteFieldHeader(at, size);
  used_ = data_at + size;
  CopyFieldData(item + BinaryScanner::kFieldHeaderSize, data, size);
}

unsigned char* BinarySerialOut::WriteFieldHeader(size_t at, unsigned int size) {
  // One load of the buffer's address: a store through it might change it.
  unsigned char* item = buffer_.get() + at;
  item[0] = kTagField;
  locmodel::coding::EncodeFixed32(item + 1, size);
  return item;
}

void BinarySerialOut::WriteFieldSlowly(unsigned int size, const void* data) {
  const size_t at = used_;
  WriteFieldHeader(at, size);
  const size_t data_at = at + BinaryScanner::kFieldHeaderSize;
  if (size > kBufferSize - data_at) {
    used_ = data_at;
    PutLarge(data, size);
    return;
  }
  CopyFieldData(buffer_.get() + data_at, data, size);
  Commit(data_at + size);
}

void BinarySerialOut::PutLarge(const void* data, size_t size) {
  Flush();
  if (size > kBufferSize - kHeadroom) {
    out_.write(data, static_cast<uint32_t>(size));
    return;
  }
  std::memcpy(buffer_.get(), data, size);
  Commit(size);
}

BinarySerialIn::BinarySerialIn(IStreamIn& in) : scanner_(in), version_(UNDEFINED_SCHEME_VERSION) {
  version_.Do(*this);
  EnterNode(RootName());
}

bool BinarySerialIn::EnterNode(const NodeName& name) {
  return TakeEnter(scanner_, name) || EnterNodeSlowly(name);
}

bool BinarySerialIn::EnterNodeSlowly(const NodeName& name) {
  if (scanner_.Next() != BinaryScanner::Item::EnterNode || !scanner_.NameIs(name))
    throw Exceptions::FormatIO();
  return true;
}

void BinarySerialIn::LeaveNode() {
  if (!TakeLeave(scanner_)) LeaveNodeSlowly();
}

void BinarySerialIn::LeaveNodeSlowly() {
  if (scanner_.Next() != BinaryScanner::Item::LeaveNode) throw Exceptions::FormatIO();
}

const void* BinarySerialIn::ReadField(unsigned int& size) {
  uint32_t length = 0;
  if (const unsigned char* data = TakeField(scanner_, length)) {
    size = length;
    return data;
  }
  return ReadFieldSlowly(size);
}

const void* BinarySerialIn::ReadFieldSlowly(unsigned int& size) {
  if (scanner_.Next() != BinaryScanner::Item::Field) throw Exceptions::FormatIO();
  size = scanner_.field_size();
  return scanner_.field_data();
}

void BinarySerialIn::WriteField(unsigned int /*size*/, const void* /*data*/) {}

}  // namespace Serial::Binary
