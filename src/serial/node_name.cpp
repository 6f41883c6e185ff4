#include "locmodel/serial/node_name.h"

#include "locmodel/serial/values.h"

namespace Serial {

bool NodeName::operator==(const NodeName& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case String: return text_ == other.text_;
    case Byte: return byte_ == other.byte_;
    default: return true;
  }
}

bool NodeName::operator<(const NodeName& other) const {
  if (type_ != other.type_) return type_ < other.type_;
  switch (type_) {
    case String: return text_ < other.text_;
    case Byte: return byte_ < other.byte_;
    default: return false;
  }
}

bool NodeName::Do(ISerialStream& stream) {
  if (!stream.IsReading()) {
    Write(stream);
    return true;
  }
  unsigned char type = 0;
  if (!Serial::Do(stream, type)) return false;
  // A type this format does not know names nothing, as in the binary form.
  type_ = type == String || type == Byte ? static_cast<Type>(type) : None;
  text_.clear();
  byte_ = 0;
  switch (type_) {
    case String: return Serial::Do(stream, text_);
    case Byte: return Serial::Do(stream, byte_);
    default: return true;
  }
}

void NodeName::Write(ISerialStream& stream) const { WriteName(stream, *this); }

}  // namespace Serial
