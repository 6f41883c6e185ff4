#include "locmodel/items/item_helper.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The kind of embedded resource that scanners leave out.
constexpr int kSkippedKindCode = 22;

}  // namespace

const CPropName CItemHelper::TempFileMarker(u"TempFileMarker");

void CItemHelper::MarkAsTempFile(CResItem& item) {
  item.SetPropW(TempFileMarker, new CBoolProp(true));
}

bool CItemHelper::IsTempFile(const CResItem& item) {
  for (const CResItem* a = item.GetParent(); a != nullptr; a = a->GetParent()) {
    if (a->GetPropW(TempFileMarker) != nullptr) return true;
  }
  return false;
}

CEmbeddedCfg CItemHelper::GetEmbeddedCfg(const CResItem& item) {
  const CProp* prop = item.GetPropW(CPropName::PROP_EMBEDDED_CFG);
  // A value of another class (a damaged file) is no origin at all.
  if (prop == nullptr || &prop->GetClass() != &CEmbeddedCfgProp::classInstance) return {};
  return static_cast<const CEmbeddedCfgProp&>(*prop);
}

bool CItemHelper::IsEmbeddedParent(const CResItem& item) {
  return item.GetPropW(CPropName::PROP_EMBEDDED_CFG) != nullptr;
}

bool CItemHelper::IsEmbeddedChild(const CResItem& item) {
  return item.GetPropW(CPropName::PROP_EMBEDDED_CHILD) != nullptr;
}

bool CItemHelper::IsStrChild(const CResItem& item) {
  const CResItem* parent = item.GetParent();
  return IsEmbeddedChild(item) && parent != nullptr && IsEmbeddedParent(*parent) &&
         GetEmbeddedCfg(*parent).SourceType == CEmbeddedCfg::Resource;
}

bool CItemHelper::IsSkippedItem(const CResItem& item) {
  return IsEmbeddedParent(item) && GetEmbeddedCfg(item).KindCode == kSkippedKindCode;
}

unsigned long long CItemIdAccessor::GetGuidFromCounter(unsigned long long counter) {
  const unsigned long long low = counter < 0xFFFFFFFFULL ? counter : (counter & 0xFFFFFFFFULL) << 32;
  // The runtime this id scheme comes from has a 15-bit rand(); ours is wider.
  const unsigned long long random = static_cast<unsigned long long>(std::rand() & 0x7FFF);
  return low + (random << 32);
}

CBoolLocker::CBoolLocker(int& counter)
    : CScopedCaller([p = &counter] { Lock(p); }, [p = &counter] { Unlock(p); }) {}

namespace locmodel {

std::string PositionPath(const CResItem& item) {
  std::vector<size_t> positions;
  for (const CResItem* at = &item; at->GetParent(); at = at->GetParent()) {
    const auto& siblings = at->GetParent()->GetResItems();
    positions.push_back(static_cast<size_t>(std::find(siblings.begin(), siblings.end(), at) - siblings.begin()));
  }
  if (positions.empty()) return "/";
  std::string path;
  for (auto it = positions.rbegin(); it != positions.rend(); ++it) (path += '/') += std::to_string(*it);
  return path;
}

}  // namespace locmodel
