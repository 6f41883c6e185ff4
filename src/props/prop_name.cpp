#include "locmodel/props/prop_name.h"

#include "locmodel/serial/strategies.h"
#include "locmodel/util/unicode.h"

std::u16string CPropName::ToString() const {
  if (IsStr()) return u"@" + str_;
  std::u16string text = u"#";
  text += locmodel::Utf8ToUtf16(std::to_string(static_cast<uint32_t>(id_)));
  return text;
}

void CPropName::FromString(const std::u16string& text) {
  id_ = PROP_NONE;
  str_.clear();
  if (text.empty() || text[0] != u'#') {
    str_ = !text.empty() && text[0] == u'@' ? text.substr(1) : text;
    return;
  }
  // An unsigned decimal number; the digits that follow it are all it reads.
  uint32_t id = 0;
  for (size_t i = 1; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    id = id * 10 + static_cast<uint32_t>(text[i] - u'0');
  id_ = static_cast<CPropId>(id);
}

bool CPropName::Do(Serial::ISerialStream& stream) {
  static const Serial::EnumSerialStrategy<CPropId, uint16_t> idStrategy;
  idStrategy.Do(stream, id_);
  Serial::Do(stream, str_);
  return true;
}
