#include "locmodel/props/accessor.h"

#include <string>

CPropName CCustomAccessor::Decorate(int formatType, const CPropName& name) {
  if (!name.IsStr() || formatType == UNDECORATED_FORMAT) return name;
  std::string number = std::to_string(formatType);
  std::u16string decorated(number.begin(), number.end());
  decorated += u'.';
  decorated += name.GetStr();
  return CPropName(std::move(decorated));
}
