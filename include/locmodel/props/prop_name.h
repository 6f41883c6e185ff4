// The key of a property: a number (built-in properties of items and
// translations) or a text (every configuration property).
//
// A name is 16 bytes. Its text is interned: every name spelled alike, in
// every item of every project the process holds, points to one shared,
// reference-counted, immutable copy, which leaves the process-wide table
// when the last name holding it dies. Numeric names hold no text, so
// copying one is copying two words. Names may be created, copied and
// destroyed from any thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace Serial {
class ISerialStream;
namespace Binary {
class BinarySerialOut;
}
}  // namespace Serial

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
  CPropName(const char16_t* name) : text_(name ? Intern(name) : nullptr) {}
  CPropName(const std::u16string& name) : text_(Intern(name)) {}
  CPropName(const CPropName& other) : text_(other.text_), id_(other.id_) {
    if (text_) text_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  CPropName(CPropName&& other) noexcept : text_(std::exchange(other.text_, nullptr)), id_(other.id_) {}
  CPropName& operator=(CPropName other) noexcept {
    std::swap(text_, other.text_);
    id_ = other.id_;
    return *this;
  }
  ~CPropName() {
    if (text_) Release(text_);
  }

  bool IsStr() const { return id_ == 0; }
  int GetInt() const { return id_; }
  const std::u16string& GetStr() const { return text_ ? text_->value : EmptyText(); }

  // Equal texts are one interned copy: comparing the pointers compares them.
  bool operator==(const CPropName& other) const { return id_ == other.id_ && text_ == other.text_; }
  // By id (signed), then by text: every textual name sorts before every
  // numeric name with a positive id.
  bool operator<(const CPropName& other) const {
    if (id_ != other.id_) return id_ < other.id_;
    return text_ != other.text_ && GetStr() < other.GetStr();
  }

  // The text form of the project database: "#<id>" for a numeric name,
  // "@<text>" for a textual one.
  std::u16string ToString() const;
  // The inverse: "#" and a number give a numeric name; anything else a
  // textual name without its leading "@".
  void FromString(const std::u16string& text);

  // The id as 16 bits, then the text. Always true: read failures surface as
  // the reader's exception. The writer's own overload is the same writing
  // with its calls bound (a project save passes here for every property).
  bool Do(Serial::ISerialStream& stream);
  bool Do(Serial::Binary::BinarySerialOut& stream);

  // How many distinct texts the names alive in the process hold.
  static size_t InternedTextCount();

 private:
  template <typename S>
  bool DoWith(S& stream);
  struct Text {
    mutable std::atomic<int32_t> refs;
    const std::u16string value;
  };
  // The interned copy of `text`, one more reference to it; null for the
  // empty text, which a name holds as no text at all.
  static const Text* Intern(std::u16string_view text);
  static void Release(const Text* text);
  static const std::u16string& EmptyText();

  const Text* text_ = nullptr;
  CPropId id_ = PROP_NONE;
};
