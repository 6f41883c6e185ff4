#include "locmodel/props/accessor.h"

#include <string>

CPropName CCustomAccessor::DecoratePropName(const CPropName& name) const {
  if (!name.IsStr() || formatType_ == UNDECORATED_FORMAT) return name;
  std::string number = std::to_string(formatType_);
  std::u16string decorated(number.begin(), number.end());
  decorated += u'.';
  decorated += name.GetStr();
  return CPropName(std::move(decorated));
}
