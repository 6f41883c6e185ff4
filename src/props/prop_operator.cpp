#include "locmodel/props/prop_operator.h"

#include "locmodel/props/cfg_holder.h"

CCfgPropOperator::CCfgPropOperator(CProp* defaultValue, CResItem& item, CPropName name)
    : defaultValue_(defaultValue), item_(&item), name_(std::move(name)) {}

CCfgPropOperator::~CCfgPropOperator() = default;

void CCfgPropOperator::SetProp(CProp* value) {
  std::unique_ptr<CProp> owned(value);
  if (!owned || owned->IsEqual(*GetProp(true))) return;
  CCfgHolder::SetPropW(*item_, name_, owned.release());
}

const CProp* CCfgPropOperator::GetProp(bool inherit) {
  const CProp* found = CCfgHolder::GetPropW(*item_, name_, inherit);
  return found ? found : defaultValue_.get();
}

void CCfgPropOperator::ResetProp() { CCfgHolder::DeleteProp(*item_, name_); }

bool CCfgPropOperator::IsDefault() { return CCfgHolder::GetPropW(*item_, name_, true) == nullptr; }
