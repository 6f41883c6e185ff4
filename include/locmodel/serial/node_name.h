// The name of a node in a serial stream: anonymous, a text, or one byte.
#pragma once

#include <cstdint>
#include <string>

namespace Serial {

class ISerialStream;

// Longest text name a reader accepts, in UTF-16 code units.
inline constexpr unsigned MAX_NODE_NAME_LEN = 200;

class NodeName {
 public:
  enum Type : uint32_t { None = 0, String = 1, Byte = 2 };

  NodeName() = default;
  explicit NodeName(unsigned char value) : type_(Byte), byte_(value) {}
  explicit NodeName(const char16_t* text) : type_(String), text_(text ? text : u"") {}
  explicit NodeName(std::u16string text) : type_(String), text_(std::move(text)) {}

  Type GetType() const { return type_; }
  const std::u16string& GetStrValue() const { return text_; }
  unsigned char GetByteValue() const { return byte_; }

  // Equal when the types match and, for text and byte names, the values match
  // exactly (case-sensitive). Names order by type first: None < String < Byte.
  bool operator==(const NodeName& other) const;
  bool operator!=(const NodeName& other) const { return !(*this == other); }
  bool operator<(const NodeName& other) const;

  // The type as a one-byte field, then the text or the byte as a field.
  bool Do(ISerialStream& stream);
  // Do's writing half, for a name the caller may not change (a class's).
  void Write(ISerialStream& stream) const;

 private:
  Type type_ = None;
  std::u16string text_;
  unsigned char byte_ = 0;
};

// The name of every anonymous node: container elements and pair members
// enter it, one constant rather than a temporary per element. A function,
// so that it is built before first use whatever the order of static
// initialisation (not every compiler builds a std::u16string at compile time).
inline const NodeName& AnonymousNode() {
  static const NodeName name;
  return name;
}

}  // namespace Serial
