// Polymorphic objects in a serial stream: each class has a run-time class
// object with a NodeName, registered in a registry that recreates objects
// by that name when they are read back.
//
// Class objects are static objects: they register themselves during start-up
// and unregister when destroyed. Registries are filled during start-up and
// only read afterwards; nothing here is locked.
#pragma once

#include <array>
#include <map>

#include "locmodel/serial/serial_stream.h"

namespace Serial {

class SerialClass;
class SerialClassRegistry;

// Base of every polymorphically serialized object.
class SerialObject {
 public:
  explicit SerialObject(SerialClass& serialClass) : class_(&serialClass) {}
  virtual ~SerialObject() = default;
  virtual bool Do(ISerialStream& stream) = 0;

  SerialClass& GetSerialClass() const { return *class_; }

 protected:
  SerialObject(const SerialObject&) = default;
  SerialObject& operator=(const SerialObject&) = default;

 private:
  SerialClass* class_;  // not owned
};

class SerialClass {
 public:
  // Registers this class object under `name` in `registry`.
  SerialClass(const NodeName& name, SerialClassRegistry& registry);
  virtual ~SerialClass();
  SerialClass(const SerialClass&) = delete;
  SerialClass& operator=(const SerialClass&) = delete;

  // A new default instance of the class, owned by the caller.
  virtual SerialObject* Create() = 0;
  const NodeName& GetName() const { return name_; }

 private:
  NodeName name_;
  SerialClassRegistry* registry_;
};

// Text (and anonymous) names: the first class registered under a name stays
// in effect. Byte names: each registration replaces the class in its slot.
// Unregistering removes whatever is registered under the name.
class SerialClassRegistry {
 public:
  SerialClassRegistry() { byteClasses_.fill(nullptr); }
  SerialClassRegistry(const SerialClassRegistry&) = delete;
  SerialClassRegistry& operator=(const SerialClassRegistry&) = delete;

  void Register(SerialClass& serialClass);
  void Unregister(SerialClass& serialClass);
  // A new object of the class registered under `name`, or null.
  SerialObject* Create(const NodeName& name) const;
  // The class registered under `name`, or null.
  SerialClass* Find(const NodeName& name) const;

 private:
  std::map<NodeName, SerialClass*> namedClasses_;
  std::array<SerialClass*, 256> byteClasses_;
};

}  // namespace Serial
