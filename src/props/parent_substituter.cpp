#include "locmodel/props/parent_substituter.h"

#include "locmodel/items/item_events.h"
#include "locmodel/items/res_item.h"

CParentSubstituter::CParentSubstituter(CResItem& item)
    : formerParent_(item.GetParent()), item_(&item) {
  CItemEventServer::Instance().SetLock(true);
  if (formerParent_ == nullptr) return;
  savedChildren_ = formerParent_->GetResItems();
  formerParent_->RemoveItem(item_);
  CResItem* placed = item_;
  for (const CResItem* a = formerParent_; a != nullptr; a = a->GetParent()) {
    auto* copy = new CResItem(*a);
    copy->AddResItem(placed);
    placed = copy;
  }
}

CParentSubstituter::~CParentSubstituter() {
  if (formerParent_ != nullptr) {
    CResItem* topCopy = GetTopParent();
    item_->GetParent()->RemoveItem(item_);
    delete topCopy;
    formerParent_->ClearResItemList();
    for (CResItem* child : savedChildren_) formerParent_->AddResItem(child);
  }
  CItemEventServer::Instance().SetLock(false);
}

CResItem* CParentSubstituter::GetTopParent() const {
  CResItem* top = item_;
  while (top->GetParent() != nullptr) top = top->GetParent();
  return top;
}

int CParentSubstituter::GetItemLevel() const {
  int level = 0;
  for (const CResItem* a = item_->GetParent(); a != nullptr; a = a->GetParent()) ++level;
  return level;
}
