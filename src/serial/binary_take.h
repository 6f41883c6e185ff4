// The readers' fast path: the item the writer makes for a call, matched in
// place in the scanner's read-ahead and taken whole, without building a
// name or copying a field. When the next item is another one, or split by
// a refill, nothing is taken (false, null) and the caller falls back to the
// scanner's Next. Inline: every node and field of a load passes here.
#pragma once

#include "locmodel/serial/binary_scanner.h"
#include "serial/root_name.h"
#include "locmodel/util/coding.h"

namespace Serial::Binary {

// A text name too long for any stream is left to Next, which fails there.
inline bool TakeEnter(BinaryScanner& scanner, const NodeName& name) {
  const NodeName::Type type = name.GetType();
  const std::u16string& text = name.GetStrValue();
  const size_t size = type == NodeName::String ? 3 + 2 * text.size() : type == NodeName::Byte ? 3 : 2;
  const unsigned char* next = scanner.Peek(size);
  if (next && next[0] == kTagEnter && next[1] == type &&
      (type == NodeName::None ||
       (type == NodeName::Byte && next[2] == name.GetByteValue()) ||
       (type == NodeName::String && text.size() <= MAX_NODE_NAME_LEN && next[2] == text.size() &&
        locmodel::coding::EqualsUtf16(next + 3, text.data(), text.size())))) {
    scanner.Consume(size, +1);
    return true;
  }
  return false;
}

inline bool TakeLeave(BinaryScanner& scanner) {
  const unsigned char* next = scanner.Peek(1);
  if (!next || *next != kTagLeave || scanner.depth() == 0) return false;
  scanner.Consume(1, -1);
  return true;
}

// The field's data, valid as the scanner's field_data() is.
inline const unsigned char* TakeField(BinaryScanner& scanner, uint32_t& size) {
  constexpr size_t kHeader = BinaryScanner::kFieldHeaderSize;
  const unsigned char* next = scanner.Peek(kHeader);
  if (!next || *next != kTagField) return nullptr;
  const uint32_t length = locmodel::coding::DecodeFixed32(next + 1);
  if (!scanner.Peek(kHeader + size_t{length})) return nullptr;
  size = length;
  return scanner.ConsumeField(kHeader + size_t{length});
}

}  // namespace Serial::Binary
