#include "locmodel/serial/serial_class.h"

namespace Serial {

SerialClass::SerialClass(const NodeName& name, SerialClassRegistry& registry)
    : name_(name), registry_(&registry) {
  registry_->Register(*this);
}

SerialClass::~SerialClass() { registry_->Unregister(*this); }

void SerialClassRegistry::Register(SerialClass& serialClass) {
  const NodeName& name = serialClass.GetName();
  if (name.GetType() == NodeName::Byte) byteClasses_[name.GetByteValue()] = &serialClass;
  else namedClasses_.emplace(name, &serialClass);
}

void SerialClassRegistry::Unregister(SerialClass& serialClass) {
  const NodeName& name = serialClass.GetName();
  if (name.GetType() == NodeName::Byte) byteClasses_[name.GetByteValue()] = nullptr;
  else namedClasses_.erase(name);
}

SerialClass* SerialClassRegistry::Find(const NodeName& name) const {
  if (name.GetType() == NodeName::Byte) return byteClasses_[name.GetByteValue()];
  const auto it = namedClasses_.find(name);
  return it == namedClasses_.end() ? nullptr : it->second;
}

SerialObject* SerialClassRegistry::Create(const NodeName& name) const {
  SerialClass* serialClass = Find(name);
  return serialClass ? serialClass->Create() : nullptr;
}

}  // namespace Serial
