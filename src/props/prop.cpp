#include "locmodel/props/prop.h"

CProp::CProp(CPropClass& propClass) : Serial::SerialObject(propClass) {}

const std::vector<unsigned char>& CProp::GetData() const {
  static const std::vector<unsigned char> empty;
  return empty;
}

CPropClass& CProp::GetClass() const { return static_cast<CPropClass&>(GetSerialClass()); }
CProp* CProp::Clone() const { return GetClass().Clone(*this); }
bool CProp::IsEqual(const CProp& other) const { return GetClass().IsEqual(*this, other); }
bool CProp::IsLess(const CProp& other) const { return GetClass().IsLess(*this, other); }

CPropClass::CPropClass(const Serial::NodeName& name, const char* typeName)
    : Serial::SerialClass(name, PropClassRegistry::instance()), typeName_(typeName) {}

PropClassRegistry& PropClassRegistry::instance() {
  // Built by the first class object during start-up, so it outlives them all.
  static PropClassRegistry registry;
  return registry;
}

CPropClass* PropClassRegistry::FindClass(const Serial::NodeName& name) const {
  return static_cast<CPropClass*>(Find(name));
}
