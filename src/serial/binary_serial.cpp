#include "locmodel/serial/binary_serial.h"

#include <algorithm>

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
  out_.write(&kTagLeave, 1);
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
  out_.write(bytes, static_cast<uint32_t>(n));
  ++depth_;
  return true;
}

void BinarySerialOut::LeaveNode() {
  out_.write(&kTagLeave, 1);
  --depth_;
}

const void* BinarySerialOut::ReadField(unsigned int& /*size*/) { return nullptr; }

void BinarySerialOut::WriteField(unsigned int size, const void* data) {
  // Small fields (every primitive) go out with their header in one write.
  unsigned char bytes[5 + 16];
  bytes[0] = kTagField;
  locmodel::coding::EncodeFixed32(bytes + 1, size);
  if (size <= 16) {
    if (size) std::memcpy(bytes + 5, data, size);
    out_.write(bytes, 5 + size);
  } else {
    out_.write(bytes, 5);
    out_.write(data, size);
  }
}

BinarySerialIn::BinarySerialIn(IStreamIn& in) : scanner_(in), version_(UNDEFINED_SCHEME_VERSION) {
  version_.Do(*this);
  EnterNode(RootName());
}

bool BinarySerialIn::EnterNode(const NodeName& name) {
  if (scanner_.Next() != BinaryScanner::Item::EnterNode || scanner_.name() != name)
    throw Exceptions::FormatIO();
  return true;
}

void BinarySerialIn::LeaveNode() {
  if (scanner_.Next() != BinaryScanner::Item::LeaveNode) throw Exceptions::FormatIO();
}

const void* BinarySerialIn::ReadField(unsigned int& size) {
  if (scanner_.Next() != BinaryScanner::Item::Field) throw Exceptions::FormatIO();
  size = scanner_.field_size();
  return scanner_.field_data();
}

void BinarySerialIn::WriteField(unsigned int /*size*/, const void* /*data*/) {}

}  // namespace Serial::Binary
