#include "locmodel/props/cfg_holder.h"

CCfgHolder::CDefaultResItem::CDefaultResItem() { SetType(DefaultItemType); }

CCfgHolder::CDefaultResItem CCfgHolder::DefaultItem;

const CProp* CCfgHolder::GetPropW(const CResItem& item, const CPropName& name, bool inherit) {
  if (const CProp* own = item.GetCfgProps().GetPropW(name)) return own;
  if (!inherit) return nullptr;
  for (const CResItem* a = item.GetParent(); a != nullptr; a = a->GetParent()) {
    if (const CProp* found = a->GetCfgProps().GetPropW(name)) return found;
  }
  return nullptr;
}

void CCfgHolder::SetPropW(CResItem& item, const CPropName& name, CProp* value) {
  item.GetCfgProps().SetPropW(name, value);
}

void CCfgHolder::DeleteProp(CResItem& item, const CPropName& name) {
  delete item.GetCfgProps().RemovePropW(name);
}

CPropContainer& CCfgHolder::GetDefaultCfg() { return DefaultItem.GetCfgProps(); }

bool CCfgHolder::IsDefaultAttached(const CResItem* item) {
  for (; item != nullptr; item = item->GetParent()) {
    if (item->GetType() == DefaultItemType) return true;
  }
  return false;
}

void CCfgHolder::GetPropsByPrefix(const CResItem& item, std::vector<CPropItem>& out,
                                  const std::u16string& prefix, int level) {
  // Textual names sort before every numeric one, and those that share a
  // prefix are adjacent: start at the prefix and stop at the first miss.
  const CPropContainer::PropMap& props = item.GetCfgProps().GetPropCont();
  for (auto it = props.upper_bound(CPropName(prefix)); it != props.end(); ++it) {
    const CPropName& name = it->first;
    if (!name.IsStr() || name.GetStr().compare(0, prefix.size(), prefix) != 0) break;
    out.push_back({name.GetStr(), level, it->second});
  }
}

std::vector<CCfgHolder::CPropItem> CCfgHolder::GetPropsByPrefixOrdered(
    const CResItem& item, const std::u16string& prefix) {
  std::vector<CPropItem> rows;
  int level = 0;
  for (const CResItem* a = &item; a != nullptr; a = a->GetParent(), --level) {
    GetPropsByPrefix(*a, rows, prefix, level);
  }
  return rows;
}

void CCfgHolder::FreePropsVector(std::vector<CPropItem>& props) { props.clear(); }
