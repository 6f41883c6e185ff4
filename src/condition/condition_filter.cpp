#include "locmodel/condition/condition_filter.h"

#include "locmodel/items/res_item.h"
#include "locmodel/props/cfg_holder.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/strategies.h"
#include "locmodel/util/str_util.h"

LOCMODEL_DEFINE_PROP(CConditionFilterCfgProp, u"ConditionFilterCfg");

namespace {

// The list a property holds, or null for a property of another class.
const CConditionFilterCfg* FilterList(const CProp* prop) {
  const auto* list = dynamic_cast<const CConditionFilterCfgProp*>(prop);
  return list ? &static_cast<const CConditionFilterCfg&>(*list) : nullptr;
}

}  // namespace

std::u16string CConditionEntry::GenerateId() { return CStrUtil::RandomStr(13); }

bool CConditionEntry::Do(Serial::ISerialStream& stream) {
  Serial::DoNode(stream, u"ID", ID);
  Serial::DoNode(stream, u"Title", Title);
  Serial::DoNode(stream, u"Expression", Expression);
  return true;
}

bool CConditionFilterCfg::Do(Serial::ISerialStream& stream) {
  return Serial::DoValue(stream, static_cast<std::vector<CConditionEntry>&>(*this));
}

CPropName CConditionFilterAccessor::GetFilterPropName() const {
  return DecoratePropName(CPropName(name_));
}

CPropName CConditionFilterAccessor::GetEnablePropName(const std::u16string& id) const {
  return CPropName(GetFilterPropName().GetStr() + u"." + id);
}

CConditionFilterCfg CConditionFilterAccessor::GetFilterCfg(const CResItem& item, bool inherited) const {
  const CPropName name = GetFilterPropName();
  CConditionFilterCfg joined;
  for (const CResItem* at = &item; at; at = inherited ? at->GetParent() : nullptr) {
    if (const CConditionFilterCfg* list = FilterList(at->GetCfgProps().GetPropW(name)))
      joined.insert(joined.end(), list->begin(), list->end());
  }
  return joined;
}

void CConditionFilterAccessor::SetFilterCfg(CResItem& item, const CConditionFilterCfg& cfg) const {
  if (cfg.empty()) return;
  const CPropName name = GetFilterPropName();
  const CConditionFilterCfg* nearest = FilterList(CCfgHolder::GetPropW(item, name, true));
  if (nearest && *nearest == cfg) return;
  CCfgHolder::SetPropW(item, name, new CConditionFilterCfgProp(cfg));
}

bool CConditionFilterAccessor::IsConditionEnabled(const CResItem& item, const std::u16string& id) const {
  const CProp* flag = CCfgHolder::GetPropW(item, GetEnablePropName(id), true);
  return !flag || flag->GetInt() != 0;
}

void CConditionFilterAccessor::SetConditionEnabled(CResItem& item, const std::u16string& id,
                                                   bool enabled) const {
  if (IsConditionEnabled(item, id) == enabled) return;
  CCfgHolder::SetPropW(item, GetEnablePropName(id), new CBoolProp(enabled));
}

CConditionFilterCfg CConditionFilterAccessor::GetEnabledFilters(const CResItem& item,
                                                                bool inherited) const {
  CConditionFilterCfg enabled;
  for (const CConditionEntry& entry : GetFilterCfg(item, inherited))
    if (IsConditionEnabled(item, entry.ID)) enabled.push_back(entry);
  return enabled;
}
