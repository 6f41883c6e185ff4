#include "locmodel/serial/binary_serial.h"

#include <cstring>

#include "serial/binary_take.h"
#include "serial/root_name.h"

namespace Serial::Binary {

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

void BinarySerialOut::Flush() {
  if (used_) out_.write(buffer_.get(), static_cast<uint32_t>(used_));
  used_ = 0;
}

const void* BinarySerialOut::ReadField(unsigned int& /*size*/) { return nullptr; }

void BinarySerialOut::WriteFieldSlowly(unsigned int size, const void* data) {
  const size_t at = used_;
  PutFieldHeader(buffer_.get() + at, size);
  const size_t data_at = at + BinaryScanner::kFieldHeaderSize;
  if (size > kBufferSize - data_at) {
    used_ = data_at;
    PutLarge(data, size);
    return;
  }
  if (size) std::memcpy(buffer_.get() + data_at, data, size);  // an empty field may come without an address
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
