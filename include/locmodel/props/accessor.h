// The accessor pattern: each configuration property is reached through one
// family of operations, declared in one line. A static family (a class
// without instances, such as CPrjConfig) declares its properties with
//
//   LOCMODEL_CFG_STATIC_PROP(IsImportByItemIdEnabled, u"IsImportByItemIdEnabled",
//                            CBoolProp, bool, false);
//
// A per-format family derives from CCustomAccessor and is used as an object
// built with a format number; every name is decorated with that number, on
// the items and in the default configuration alike, so each format has its
// own setting and its own default ("Xml.OutFile" of format 3: "3.Xml.OutFile"):
//
//   LOCMODEL_CFG_FORMAT_PROP(OutFile, u"Xml.OutFile", CStrProp, std::u16string,
//                            u"out.xml");
//
// The arguments: the accessor name, the property name (a text or a
// CPropName::CPropId number), the value class, the value type, and the
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
//   C<Name>PropOperator           its operator class, which also describes the
//                                 property to the catalog (prop_catalog.h)
//
// and enters the property into the catalog. The operations are static in a
// static family and const members in a per-format one. An accessor object is
// a format number plus the decorated names it has used, each built on its
// first use and kept for the object's lifetime: build one before a loop
// rather than one per call. A const accessor may be shared between threads.
// A line of the wrong form for its class does not compile.
//
// The getters return references into the stored properties: a reference
// stays valid until that item's (or the default configuration's) value is
// replaced or removed. A value of another class stored under the property's
// name (a damaged or foreign project file) reads as absent: the getters fall
// back to the default rather than misread it.
//
// Do not call accessors from static initializers: the default item may not
// exist yet.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <type_traits>

#include "locmodel/props/cfg_holder.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/props/prop_operator.h"

// What a family line finds as its class's kind: a static family, unless the
// class derives from CCustomAccessor, whose member of this name wins. Only
// the macros' misuse checks look at it.
struct LocmodelCfgFamilyKind {
  static constexpr bool perFormat = false;
};

// Base of the accessor classes that exist as objects, one per file format.
class CCustomAccessor {
 public:
  // The format number that leaves names as they are.
  static constexpr int UNDECORATED_FORMAT = -1;

  explicit CCustomAccessor(int formatType) : formatType_(formatType) {}
  // A copy starts with no names of its own.
  CCustomAccessor(const CCustomAccessor& other) : formatType_(other.formatType_) {}
  CCustomAccessor& operator=(const CCustomAccessor& other);
  ~CCustomAccessor() { ForgetNames(); }

  int GetFormatType() const { return formatType_; }

  // "<format>.<name>" for a textual name ("3.Xml.OutFile"); numeric names,
  // and every name under UNDECORATED_FORMAT, are returned unchanged.
  static CPropName Decorate(int formatType, const CPropName& name);

 protected:
  struct LocmodelCfgFamilyKind {
    static constexpr bool perFormat = true;
  };

  CPropName DecoratePropName(const CPropName& name) const { return Decorate(formatType_, name); }

  // Decorate(format, base) for a `base` that outlives this object (a
  // family's BaseName()), built once and valid while this object lives.
  // The cache is keyed by the address of `base`.
  const CPropName& DecoratedName(const CPropName& base) const {
    if (formatType_ == UNDECORATED_FORMAT) return base;
    for (const CNameNode* node = names_.load(std::memory_order_acquire); node; node = node->next)
      if (node->base == &base) return node->name;
    return AddDecoratedName(base);
  }

 private:
  // Nodes are only ever pushed at the head and never changed once
  // published, so readers need no lock.
  struct CNameNode {
    const CPropName* base;
    CPropName name;
    const CNameNode* next;
  };

  const CPropName& AddDecoratedName(const CPropName& base) const;
  void ForgetNames();

  int formatType_;
  mutable std::atomic<const CNameNode*> names_{nullptr};
};

namespace locmodel {

// The base of every C<Name>PropOperator: the value class P holding values of
// type T, and whether names are decorated per format.
template <typename P, typename T, bool PerFormat>
class CfgPropOperator : public CCfgPropOperator {
  static_assert(std::is_base_of_v<CSimpleProp<T>, P>, "the value class must hold the value type");

 public:
  using ValueClass = P;
  using Value = T;
  static constexpr bool perFormat = PerFormat;

  using CCfgPropOperator::CCfgPropOperator;
};

// The operations of the property that operator class Op describes (its
// name through Op::MakeName(), its built-in default through
// Op::MakeDefault()); each takes the name it works under, decorated or not.
template <typename Op>
class CfgProperty {
  using P = typename Op::ValueClass;
  using T = typename Op::Value;

 public:
  // Built on first use and kept for the process.
  static const CPropName& BaseName() {
    static const CPropName name = Op::MakeName();
    return name;
  }

  // The default configuration's value, seeded with the built-in default on
  // first use and when it holds another class.
  static const P& DefaultProp(const CPropName& name) {
    CPropContainer& defaults = CCfgHolder::GetDefaultCfg();
    if (const P* stored = Typed(defaults.GetPropW(name))) return *stored;
    P* seeded = new P(Op::MakeDefault());
    defaults.SetPropW(name, seeded);
    return *seeded;
  }

  static const P& EffectiveProp(const CResItem& item, const CPropName& name, bool inherit) {
    if (const P* found = Typed(CCfgHolder::GetPropW(item, name, inherit))) return *found;
    return DefaultProp(name);
  }

  static const T& GetDefaultValue(const CPropName& name) { return DefaultProp(name); }
  static const T& Get(const CResItem& item, const CPropName& name, bool inherit) {
    return EffectiveProp(item, name, inherit);
  }

  // The new value is built before SetPropW destroys the old one, so `value`
  // may refer into the property it replaces.
  static void Set(CResItem& item, const CPropName& name, const T& value) {
    if (PropValueTraits<T>::Equal(value, Get(item, name, true))) return;
    CCfgHolder::SetPropW(item, name, new P(value));
  }

  static bool Has(const CResItem& item, const CPropName& name) {
    return CCfgHolder::GetPropW(item, name, false) != nullptr;
  }

  static void Reset(CResItem& item, const CPropName& name) { CCfgHolder::DeleteProp(item, name); }

  static IPropOperator* CreateOperator(CResItem& item, const CPropName& name) {
    return new Op(new P(GetDefaultValue(name)), item, name);
  }

  // The name for `format`: decorated only in a per-format family.
  static CPropName NameAt(int format) {
    if constexpr (Op::perFormat) return CCustomAccessor::Decorate(format, BaseName());
    else return BaseName();
  }

 private:
  static const P* Typed(const CProp* prop) {
    return prop && &prop->GetClass() == &P::classInstance ? static_cast<const P*>(prop) : nullptr;
  }
};

// The qualified name of T as the compiler spells it; GCC and Clang both
// print it after "T = " in the signature.
template <typename T>
constexpr std::string_view QualifiedTypeName() {
  const std::string_view signature = __PRETTY_FUNCTION__;
  const size_t begin = signature.find("T = ") + 4;
  return signature.substr(begin, signature.find_first_of(";]", begin) - begin);
}

// The catalog entry of the property that operator class Op describes; its
// family is the class Op is nested in.
template <typename Op>
const CfgPropEntry& CfgEntryOf() {
  using Property = CfgProperty<Op>;
  using P = typename Op::ValueClass;
  static constexpr std::string_view op = QualifiedTypeName<Op>();
  static const CfgPropEntry entry{
      op.substr(0, op.rfind("::")),
      Op::accessor,
      Op::perFormat,
      &P::classInstance,
      &Property::BaseName,
      &Property::NameAt,
      []() -> CProp* { return new P(Op::MakeDefault()); },
      [](const CResItem& item, bool inherit, int format) -> const CProp& {
        return Property::EffectiveProp(item, Property::NameAt(format), inherit);
      },
      [](CResItem& item, const CProp& value, int format) {
        if (&value.GetClass() != &P::classInstance) return false;
        Property::Set(item, Property::NameAt(format), static_cast<const P&>(value));
        return true;
      },
      [](const CResItem& item, int format) { return Property::Has(item, Property::NameAt(format)); },
      [](CResItem& item, int format) { Property::Reset(item, Property::NameAt(format)); },
      [](CResItem& item, int format) { return Property::CreateOperator(item, Property::NameAt(format)); },
  };
  return entry;
}

}  // namespace locmodel

// Implementation details follow; use the two macros above.

// The operator class: a distinct class per property, so that generic code
// can tell operators apart, and the one nested name a line adds beside the
// documented operations.
#define LOCMODEL_CFG_OPERATOR_(Name, NameValue, PropClass, ValueType, PerFormat, ...)            \
  class C##Name##PropOperator final                                                              \
      : public ::locmodel::CfgPropOperator<PropClass, ValueType, PerFormat> {                    \
   public:                                                                                       \
    using CfgPropOperator::CfgPropOperator;                                                      \
    using Property = ::locmodel::CfgProperty<C##Name##PropOperator>;                             \
    static constexpr std::string_view accessor = #Name;                                          \
    static CPropName MakeName() { return CPropName(NameValue); }                                 \
    static Value MakeDefault() { return Value{__VA_ARGS__}; }                                    \
                                                                                                 \
   private:                                                                                      \
    static inline const bool catalogued_ =                                                       \
        ::locmodel::CfgCatalog::Enter(::locmodel::CfgEntryOf<C##Name##PropOperator>());          \
  };

// The six operations beside <Name>PropName(), working under the name that
// NameRef yields: `Static` or `Const` is empty.
#define LOCMODEL_CFG_OPERATIONS_(Name, ValueType, NameRef, Static, Const)                        \
  Static const ValueType& Get##Name##DefaultValue() Const {                                      \
    return C##Name##PropOperator::Property::GetDefaultValue(NameRef);                            \
  }                                                                                              \
  Static const ValueType& Get##Name(const CResItem& item, bool inherit) Const {                  \
    return C##Name##PropOperator::Property::Get(item, NameRef, inherit);                         \
  }                                                                                              \
  Static void Set##Name(CResItem& item, const ValueType& value) Const {                          \
    C##Name##PropOperator::Property::Set(item, NameRef, value);                                  \
  }                                                                                              \
  Static bool Has##Name(const CResItem& item) Const {                                            \
    return C##Name##PropOperator::Property::Has(item, NameRef);                                  \
  }                                                                                              \
  Static void Reset##Name(CResItem& item) Const {                                                \
    C##Name##PropOperator::Property::Reset(item, NameRef);                                       \
  }                                                                                              \
  Static IPropOperator* Create##Name##Operator(CResItem& item) Const {                           \
    return C##Name##PropOperator::Property::CreateOperator(item, NameRef);                       \
  }

#define LOCMODEL_CFG_STATIC_PROP(Name, NameValue, PropClass, ValueType, ...)                     \
  LOCMODEL_CFG_OPERATOR_(Name, NameValue, PropClass, ValueType, false, __VA_ARGS__)              \
  static const CPropName& Name##PropName() { return C##Name##PropOperator::Property::BaseName(); } \
  LOCMODEL_CFG_OPERATIONS_(Name, ValueType, Name##PropName(), static, )                          \
  static_assert(!LocmodelCfgFamilyKind::perFormat,                                               \
                "LOCMODEL_CFG_STATIC_PROP(" #Name ") in a CCustomAccessor subclass: "            \
                "per-format families declare their properties with LOCMODEL_CFG_FORMAT_PROP")

#define LOCMODEL_CFG_FORMAT_PROP(Name, NameValue, PropClass, ValueType, ...)                     \
  LOCMODEL_CFG_OPERATOR_(Name, NameValue, PropClass, ValueType, true, __VA_ARGS__)               \
  CPropName Name##PropName() const {                                                             \
    return DecoratedName(C##Name##PropOperator::Property::BaseName());                           \
  }                                                                                              \
  LOCMODEL_CFG_OPERATIONS_(Name, ValueType,                                                      \
                           DecoratedName(C##Name##PropOperator::Property::BaseName()), , const)  \
  static_assert(LocmodelCfgFamilyKind::perFormat,                                                \
                "LOCMODEL_CFG_FORMAT_PROP(" #Name ") outside a CCustomAccessor subclass: "       \
                "static families declare their properties with LOCMODEL_CFG_STATIC_PROP")
