// Property values: a polymorphic hierarchy rooted at CProp, one run-time
// class object per property class (CPropClassImpl<T>, registered by class
// name in PropClassRegistry), and CSimpleProp<T>, the base of every class
// that holds one value.
//
// Ownership: a value belongs to exactly one container or to whoever created
// it; copies are made with Clone. Class objects are static and live for the
// whole process; the registry is created by the first of them.
//
// Declaring a property class takes one line beside its value type,
//     LOCMODEL_DECLARE_PROP(CStrProp, std::u16string);
// and one line in a source file, giving its class name:
//     LOCMODEL_DEFINE_PROP(CStrProp, 'd');        // or u"StrSetProp"
// What a class shows through GetStr, GetInt, GetData and AsString, and how
// its values compare, comes from PropValueTraits<ValueType>.
#pragma once

#include <string>
#include <vector>

#include "locmodel/serial/serial_class.h"

class CPropClass;

class CProp : public Serial::SerialObject {
 public:
  explicit CProp(CPropClass& propClass);
  ~CProp() override = default;

  virtual std::u16string GetStr() const { return {}; }
  virtual int GetInt() const { return 0; }
  virtual const std::vector<unsigned char>& GetData() const;
  // A display text.
  virtual std::u16string AsString() const { return u"Unknown"; }

  CPropClass& GetClass() const;
  // Through the class object of *this: null / false when `other` is not of
  // the same class.
  CProp* Clone() const;
  bool IsEqual(const CProp& other) const;
  bool IsLess(const CProp& other) const;
  bool operator<(const CProp& other) const { return IsLess(other); }

 protected:
  CProp(const CProp&) = default;
  CProp& operator=(const CProp&) = delete;
};

class CPropClass : public Serial::SerialClass {
 public:
  // Registers the class in PropClassRegistry::instance(). `typeName` is the
  // C++ name of the class, for tools that show values.
  CPropClass(const Serial::NodeName& name, const char* typeName);

  virtual bool IsEqual(const CProp& a, const CProp& b) const = 0;
  // By class name first; within one class, by the value's order.
  virtual bool IsLess(const CProp& a, const CProp& b) const = 0;
  virtual CProp* Clone(const CProp& prop) const = 0;
  const char* GetTypeName() const { return typeName_; }

 private:
  const char* typeName_;
};

class PropClassRegistry : public Serial::SerialClassRegistry {
 public:
  static PropClassRegistry& instance();
  // The property class registered under `name`, or null.
  CPropClass* FindClass(const Serial::NodeName& name) const;
};

// How a value type appears through CProp's display slots and how its
// values compare. PropValueTraits is specialized, on top of these defaults,
// for the types whose classes show more.
template <typename T>
struct DefaultPropValueTraits {
  static std::u16string GetStr(const T&) { return {}; }
  static int GetInt(const T&) { return 0; }
  static const std::vector<unsigned char>* GetData(const T&) { return nullptr; }
  static std::u16string AsString(const T&) { return u"Unknown"; }
  static bool Equal(const T& a, const T& b) { return a == b; }
  static bool Less(const T& a, const T& b) { return a < b; }
};
template <typename T>
struct PropValueTraits : DefaultPropValueTraits<T> {};

template <typename T>
class CSimpleProp : public CProp {
 public:
  using ValueType = T;

  CSimpleProp(CPropClass& propClass, const T& value) : CProp(propClass), value(value) {}
  CSimpleProp(const CSimpleProp&) = default;

  operator const T&() const { return value; }

  // The value alone: the class name is written by the container.
  bool Do(Serial::ISerialStream& stream) override;

  std::u16string GetStr() const override { return PropValueTraits<T>::GetStr(value); }
  int GetInt() const override { return PropValueTraits<T>::GetInt(value); }
  const std::vector<unsigned char>& GetData() const override {
    const auto* data = PropValueTraits<T>::GetData(value);
    return data ? *data : CProp::GetData();
  }
  std::u16string AsString() const override { return PropValueTraits<T>::AsString(value); }

  // The values only; IsEqual also checks the class.
  bool operator==(const CSimpleProp& other) const {
    return PropValueTraits<T>::Equal(value, other.value);
  }
  bool operator<(const CSimpleProp& other) const {
    return PropValueTraits<T>::Less(value, other.value);
  }
  // Between properties of different classes: IsLess.
  using CProp::operator<;

 protected:
  T value;
};

template <typename T>
class CPropClassImpl final : public CPropClass {
 public:
  using CPropClass::CPropClass;

  Serial::SerialObject* Create() override { return new T(*this); }
  bool IsEqual(const CProp& a, const CProp& b) const override {
    return Owns(a) && Owns(b) && static_cast<const T&>(a) == static_cast<const T&>(b);
  }
  bool IsLess(const CProp& a, const CProp& b) const override {
    const Serial::NodeName& nameA = a.GetClass().GetName();
    const Serial::NodeName& nameB = b.GetClass().GetName();
    if (nameA < nameB) return true;
    if (nameA != nameB || !Owns(a) || !Owns(b)) return false;
    return static_cast<const T&>(a) < static_cast<const T&>(b);
  }
  CProp* Clone(const CProp& prop) const override {
    return Owns(prop) ? new T(static_cast<const T&>(prop)) : nullptr;
  }

 private:
  bool Owns(const CProp& prop) const { return &prop.GetClass() == this; }
};

#define LOCMODEL_DECLARE_PROP(Name, Type)                                        \
  class Name final : public CSimpleProp<Type> {                                  \
   public:                                                                       \
    static CPropClassImpl<Name> classInstance;                                   \
    explicit Name(const Type& value = {}) : CSimpleProp(classInstance, value) {}      \
    explicit Name(CPropClass& propClass) : CSimpleProp(propClass, {}) {}          \
    Name(const Name&) = default;                                                 \
  }

#define LOCMODEL_DEFINE_PROP(Name, ClassName) \
  CPropClassImpl<Name> Name::classInstance { Serial::NodeName(ClassName), #Name }

// Implementation details follow; clients should ignore them.
#include "locmodel/serial/strategies.h"

template <typename T>
bool CSimpleProp<T>::Do(Serial::ISerialStream& stream) {
  return Serial::DefaultSerialStrategy<T>().Do(stream, value);
}
