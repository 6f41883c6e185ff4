// IPropOperator: read and write one configuration property of one item
// without knowing its type, for generic code (property grids, copying
// settings between items). Every accessor family creates its operators
// with Create<Name>Operator; CCfgPropOperator is their one implementation.
//
// Ownership: the caller owns an operator; the operator owns its default
// value and SetProp's argument, and borrows the item, which must outlive it.
#pragma once

#include <memory>

#include "locmodel/props/prop_name.h"

class CProp;
class CResItem;

class IPropOperator {
 public:
  virtual ~IPropOperator() = default;

  virtual const CPropName& GetPropName() = 0;
  // Takes `value`. A value equal to the effective one (GetProp(true)) is
  // destroyed and nothing is stored; anything else goes to the item's own
  // configuration. Null is ignored.
  virtual void SetProp(CProp* value) = 0;
  // The item's value (with `inherit`, else the nearest ancestor's), or the
  // operator's default when there is none.
  virtual const CProp* GetProp(bool inherit) = 0;
  // The item inherits again.
  virtual void ResetProp() = 0;
  // Whether neither the item nor any ancestor holds the property.
  virtual bool IsDefault() = 0;
};

class CCfgPropOperator : public IPropOperator {
 public:
  // `defaultValue` (taken) is a snapshot: later changes of the default
  // configuration do not reach an existing operator.
  CCfgPropOperator(CProp* defaultValue, CResItem& item, CPropName name);
  ~CCfgPropOperator() override;
  CCfgPropOperator(const CCfgPropOperator&) = delete;
  CCfgPropOperator& operator=(const CCfgPropOperator&) = delete;

  const CPropName& GetPropName() override { return name_; }
  void SetProp(CProp* value) override;
  const CProp* GetProp(bool inherit) override;
  void ResetProp() override;
  bool IsDefault() override;

 private:
  std::unique_ptr<CProp> defaultValue_;
  CResItem* item_;
  CPropName name_;
};
