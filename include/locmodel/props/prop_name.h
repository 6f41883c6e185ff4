// The key of a property: a number (built-in properties of items and
// translations) or a text (every configuration property).
#pragma once

#include <cstdint>
#include <string>

namespace Serial {
class ISerialStream;
}

class CPropName {
 public:
  // Numbers in use. They travel in 16 bits, so an id lies in 1..65535.
  enum CPropId : int32_t {
    PROP_NONE = 0,               // marks a textual name
    PROP_TRANS_DATA = 1,         // a translation's binary data
    PROP_TRANS_STR = 2,          // a translation's text
    PROP_EMBEDDED_CFG = 402,     // parent of an embedded resource
    PROP_EMBEDDED_CHILD = 403,   // an embedded child; only its presence matters
    PROP_ITEM_ID = 20000,        // an item's 64-bit id (configuration)
  };

  CPropName() = default;
  CPropName(CPropId id) : id_(id) {}
  CPropName(const char16_t* name) : str_(name ? name : u"") {}
  CPropName(std::u16string name) : str_(std::move(name)) {}

  bool IsStr() const { return id_ == 0; }
  int GetInt() const { return id_; }
  const std::u16string& GetStr() const { return str_; }

  bool operator==(const CPropName& other) const = default;
  // By id (signed), then by text: every textual name sorts before every
  // numeric name with a positive id.
  bool operator<(const CPropName& other) const {
    return id_ != other.id_ ? id_ < other.id_ : str_ < other.str_;
  }

  // The text form of the project database: "#<id>" for a numeric name,
  // "@<text>" for a textual one.
  std::u16string ToString() const;
  // The inverse: "#" and a number give a numeric name; anything else a
  // textual name without its leading "@".
  void FromString(const std::u16string& text);

  // The id as 16 bits, then the text. Always true: read failures surface as
  // the reader's exception.
  bool Do(Serial::ISerialStream& stream);

 private:
  CPropId id_ = PROP_NONE;
  std::u16string str_;
};
