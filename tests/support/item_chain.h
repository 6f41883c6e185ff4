// The shortest tree that inherits through a middle item, which the tests of
// configuration, conditions and markers share: root -> child -> grandchild.
#pragma once

#include "locmodel/items/res_item.h"

namespace testing_support {

struct ItemChain {
  CResItem root;
  CResItem* child = new CResItem;
  CResItem* grandchild = new CResItem;
  ItemChain() {
    root.AddResItem(child);
    child->AddResItem(grandchild);
  }
};

}  // namespace testing_support
