// CParentSubstituter: evaluates an item's configuration under private
// copies of its ancestors. While it lives, the item hangs below a chain of
// copies (each ancestor's own content and configuration, without its other
// children or translations), so inherited values read exactly as in the
// real tree while changes to the copies never reach it. Used to write a
// job file that holds one item with the configuration it inherits.
//
// The item event server is locked for the substituter's whole life: the
// temporary surgery on the tree is invisible to subscribers. Destroy the
// substituter before the tree it modified, and do not move the item
// meanwhile; the destructor puts the item back at its former position.
#pragma once

#include <vector>

class CResItem;

class CParentSubstituter {
 public:
  explicit CParentSubstituter(CResItem& item);
  virtual ~CParentSubstituter();
  CParentSubstituter(const CParentSubstituter&) = delete;
  CParentSubstituter& operator=(const CParentSubstituter&) = delete;

  CResItem* GetItem() { return item_; }
  // The topmost ancestor of the item (the item itself when it has none).
  CResItem* GetTopParent() const;
  // The number of the item's ancestors.
  int GetItemLevel() const;

 private:
  CResItem* formerParent_;
  std::vector<CResItem*> savedChildren_;  // the former parent's children, not owned
  CResItem* item_;
};
