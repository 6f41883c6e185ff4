// The accessor pattern: each configuration property is reached through one
// family of operations, declared in one line with LOCMODEL_CFG_PROP.
//
// Static form, for classes of static families such as CPrjConfig:
//
//   LOCMODEL_CFG_PROP(static, IsImportByItemIdEnabled, u"IsImportByItemIdEnabled",
//                     CBoolProp, bool, false);
//
// Member form, inside a CCustomAccessor subclass (the first argument is left
// empty): every name is decorated with the accessor's format number, on the
// items and in the default configuration alike, so each format has its own
// setting and its own default:
//
//   LOCMODEL_CFG_PROP(, OutFile, u"Xml.OutFile", CStrProp, std::u16string, u"out.xml");
//
// The arguments: the form, the accessor name, the property name (a text or
// a CPropName::CPropId number), the value class, the value type, and the
// built-in default (any brace-initializer list of the value type, so a
// filled map is written {1, u"a"}, {2, u"b"}). Each line produces
//
//   <Name>PropName()              the property name
//   Get<Name>DefaultValue()       the default configuration's value; the
//                                 built-in default is stored there on first
//                                 use, and a value the host stored earlier wins
//   Get<Name>(item, inherit)      the item's value (with inherit: else the
//                                 nearest ancestor's), else the default
//   Set<Name>(item, value)        stores nothing when value equals the
//                                 effective value; never resets
//   Has<Name>(item)               whether the item holds a value of its own
//   Reset<Name>(item)             the item inherits again
//   Create<Name>Operator(item)    a new C<Name>PropOperator (caller owns it)
//   C<Name>PropOperator           its operator class
//
// The getters return references into the stored properties: a reference
// stays valid until that item's (or the default configuration's) value is
// replaced or removed. A value of another class stored under the property's
// name (a damaged or foreign project file) reads as absent: the getters fall
// back to the default rather than misread it.
//
// Member-form operations are non-const: an accessor object is a format
// number and nothing else, so callers build one where they need it. Do not
// call accessors from static initializers: the default item may not exist yet.
#pragma once

#include <string>
#include <type_traits>

#include "locmodel/props/cfg_holder.h"
#include "locmodel/props/prop_operator.h"

// Base of the accessor classes that exist as objects, one per file format.
class CCustomAccessor {
 public:
  // The format number that leaves names as they are.
  static constexpr int UNDECORATED_FORMAT = -1;

  explicit CCustomAccessor(int formatType) : formatType_(formatType) {}
  int GetFormatType() const { return formatType_; }

 protected:
  // "<format>.<name>" for a textual name ("3.Xml.OutFile"); numeric names,
  // and every name under UNDECORATED_FORMAT, are returned unchanged.
  CPropName DecoratePropName(const CPropName& name) const;

 private:
  int formatType_;
};

// What static accessor families see when they decorate a name: the name
// itself. Inside CCustomAccessor subclasses the member hides it.
inline const CPropName& DecoratePropName(const CPropName& name) { return name; }

namespace locmodel {

// One configuration property. NameProvider::Get() gives its undecorated
// name, DefaultProvider::Get() its built-in default; each operation takes
// the (possibly decorated) name it works under.
template <typename NameProvider, typename P, typename T, typename DefaultProvider>
class CfgProperty {
  static_assert(std::is_base_of_v<CSimpleProp<T>, P>, "the value class must hold the value type");

 public:
  // Built on first use and kept for the process.
  static const CPropName& BaseName() {
    static const CPropName name = NameProvider::Get();
    return name;
  }

  static const T& GetDefaultValue(const CPropName& name) {
    CPropContainer& defaults = CCfgHolder::GetDefaultCfg();
    if (const P* stored = Typed(defaults.GetPropW(name))) return *stored;
    P* seeded = new P(DefaultProvider::Get());
    defaults.SetPropW(name, seeded);
    return *seeded;
  }

  static const T& Get(const CResItem& item, const CPropName& name, bool inherit) {
    if (const P* found = Typed(CCfgHolder::GetPropW(item, name, inherit))) return *found;
    return GetDefaultValue(name);
  }

  static void Set(CResItem& item, const CPropName& name, const T& value) {
    if (PropValueTraits<T>::Equal(value, Get(item, name, true))) return;
    CCfgHolder::SetPropW(item, name, new P(value));
  }

  static bool Has(const CResItem& item, const CPropName& name) {
    return CCfgHolder::GetPropW(item, name, false) != nullptr;
  }

  static void Reset(CResItem& item, const CPropName& name) { CCfgHolder::DeleteProp(item, name); }

  // A distinct class per property, so that generic code can tell operators apart.
  class Operator final : public CCfgPropOperator {
   public:
    using CCfgPropOperator::CCfgPropOperator;
  };

  static IPropOperator* CreateOperator(CResItem& item, const CPropName& name) {
    return new Operator(new P(GetDefaultValue(name)), item, name);
  }

 private:
  static const P* Typed(const CProp* prop) {
    return prop && &prop->GetClass() == &P::classInstance ? static_cast<const P*>(prop) : nullptr;
  }
};

}  // namespace locmodel

#define LOCMODEL_CFG_PROP(Storage, Name, NameValue, PropClass, ValueType, ...)                   \
  struct Name##NameProvider {                                                                    \
    static CPropName Get() { return CPropName(NameValue); }                                       \
  };                                                                                             \
  struct Name##DefaultProvider {                                                                 \
    using Value = ValueType; /* a one-word name for multi-word types */                        \
    static Value Get() { return Value{__VA_ARGS__}; }                                             \
  };                                                                                             \
  using Name##Property =                                                                         \
      ::locmodel::CfgProperty<Name##NameProvider, PropClass, ValueType, Name##DefaultProvider>;   \
  Storage decltype(auto) Name##PropName() { return DecoratePropName(Name##Property::BaseName()); } \
  Storage const ValueType& Get##Name##DefaultValue() {                                           \
    return Name##Property::GetDefaultValue(Name##PropName());                                    \
  }                                                                                              \
  Storage const ValueType& Get##Name(const CResItem& item, bool inherit) {                       \
    return Name##Property::Get(item, Name##PropName(), inherit);                                 \
  }                                                                                              \
  Storage void Set##Name(CResItem& item, const ValueType& value) {                               \
    Name##Property::Set(item, Name##PropName(), value);                                          \
  }                                                                                              \
  Storage bool Has##Name(const CResItem& item) { return Name##Property::Has(item, Name##PropName()); } \
  Storage void Reset##Name(CResItem& item) { Name##Property::Reset(item, Name##PropName()); }    \
  Storage IPropOperator* Create##Name##Operator(CResItem& item) {                                \
    return Name##Property::CreateOperator(item, Name##PropName());                               \
  }                                                                                              \
  using C##Name##PropOperator = typename Name##Property::Operator
