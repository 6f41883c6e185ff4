// The property classes whose value types belong to the property model.
// Classes over the value types of other subsystems are declared beside those
// types (a one-line LOCMODEL_DECLARE_PROP each).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "locmodel/props/prop.h"
#include "locmodel/util/win_types.h"

// The value of a flag property: present or absent, nothing more.
struct PropNoValue {
  bool Do(Serial::ISerialStream&) { return true; }
  bool operator==(const PropNoValue&) const { return true; }
  bool operator<(const PropNoValue&) const { return false; }
};

// Where an embedded resource comes from: three signed fields, all -1 by
// default. The fields have no order: operator< is always false.
struct CEmbeddedCfg {
  enum CSourceType : int32_t { Undefined = -1, Resource = 2 };

  CSourceType SourceType = Undefined;
  int32_t KindCode = -1;
  int32_t ExtraParam = -1;

  bool Do(Serial::ISerialStream& stream);
  bool operator==(const CEmbeddedCfg&) const = default;
  bool operator<(const CEmbeddedCfg&) const { return false; }
};

using CIntSet = std::set<int>;
using CIntStrMap = std::map<int, std::u16string>;

template <>
struct PropValueTraits<std::u16string> : DefaultPropValueTraits<std::u16string> {
  static std::u16string GetStr(const std::u16string& v) { return v; }
  static std::u16string AsString(const std::u16string& v) { return v; }
};
template <>
struct PropValueTraits<std::vector<unsigned char>> : DefaultPropValueTraits<std::vector<unsigned char>> {
  static const std::vector<unsigned char>* GetData(const std::vector<unsigned char>& v) { return &v; }
};
template <>
struct PropValueTraits<int> : DefaultPropValueTraits<int> {
  static int GetInt(int v) { return v; }
  static std::u16string AsString(int v);  // "#<value>"
};
template <>
struct PropValueTraits<bool> : DefaultPropValueTraits<bool> {
  static int GetInt(bool v) { return v ? 1 : 0; }
  static std::u16string AsString(bool v) { return v ? u"true" : u"false"; }
};
// Variants have no order: every comparison says "less".
template <>
struct PropValueTraits<VARIANT> : DefaultPropValueTraits<VARIANT> {
  static bool Less(const VARIANT&, const VARIANT&) { return true; }
};

LOCMODEL_DECLARE_PROP(CEmptyProp, PropNoValue);
LOCMODEL_DECLARE_PROP(CStrProp, std::u16string);
LOCMODEL_DECLARE_PROP(CIntProp, int);
LOCMODEL_DECLARE_PROP(CBoolProp, bool);
LOCMODEL_DECLARE_PROP(CEmbeddedCfgProp, CEmbeddedCfg);
LOCMODEL_DECLARE_PROP(CItemIdProp, unsigned long long);
LOCMODEL_DECLARE_PROP(CIntVectorProp, std::vector<int>);
LOCMODEL_DECLARE_PROP(CStrSetProp, std::set<std::u16string>);
LOCMODEL_DECLARE_PROP(CStrListProp, std::vector<std::u16string>);
LOCMODEL_DECLARE_PROP(CIntStrMapProp, CIntStrMap);
LOCMODEL_DECLARE_PROP(CIntSetProp, CIntSet);
LOCMODEL_DECLARE_PROP(CVariantProp, VARIANT);

// A byte vector, with the constructors and appending of raw data.
class CBinaryProp final : public CSimpleProp<std::vector<unsigned char>> {
 public:
  static CPropClassImpl<CBinaryProp> classInstance;
  explicit CBinaryProp(const std::vector<unsigned char>& value = {})
      : CSimpleProp(classInstance, value) {}
  // Copies `size` bytes (none when size is 0 or less).
  CBinaryProp(const void* data, int size);
  explicit CBinaryProp(CPropClass& propClass) : CSimpleProp(propClass, {}) {}
  CBinaryProp(const CBinaryProp&) = default;

  // Appends `size` bytes at the end of the value.
  void AddBinaryBlock(const unsigned char* data, unsigned int size);
};
