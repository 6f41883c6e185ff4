// Small helpers around items: the temporary-file marker and the embedded
// resource markers (CItemHelper), the 64-bit item id (CItemIdAccessor) and a
// scoped counter lock (CBoolLocker).
#pragma once

#include "locmodel/messages/message_proxy.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

class CItemHelper {
 public:
  CItemHelper() = delete;

  // The own property that marks an item as a temporary file.
  static const CPropName TempFileMarker;

  static void MarkAsTempFile(CResItem& item);
  // Whether an ancestor (not the item itself) carries the marker.
  static bool IsTempFile(const CResItem& item);

  // The item's own embedded-resource origin; all -1 when it has none.
  static CEmbeddedCfg GetEmbeddedCfg(const CResItem& item);
  static bool IsEmbeddedParent(const CResItem& item);
  static bool IsEmbeddedChild(const CResItem& item);
  // An embedded child whose parent's origin has the source type Resource.
  static bool IsStrChild(const CResItem& item);
  // An item whose origin's kind marks it as skipped.
  static bool IsSkippedItem(const CResItem& item);
};

namespace locmodel {
// The item's place as child positions from the root: "/" for the root,
// "/2/0" for the first child of the root's third child.
std::string PositionPath(const CResItem& item);
}  // namespace locmodel

// The item id is a configuration property: an item without an id of its own
// inherits its parent's through GetItemId(item, true); callers that want
// the item's own id pass false or ask HasItemId.
class CItemIdAccessor {
 public:
  CItemIdAccessor() = delete;

  // 4294967295: no id.
  LOCMODEL_CFG_STATIC_PROP(ItemId, CPropName::PROP_ITEM_ID, CItemIdProp, unsigned long long,
                           4294967295ULL);

  // An id made from the host's counter: the counter in the low 32 bits (or,
  // from 0xFFFFFFFF on, its low 32 bits moved up), plus a random number in
  // 0..32767 in the high 32 bits. Uses the C library's rand(), whose seeding
  // is the host's.
  static unsigned long long GetGuidFromCounter(unsigned long long counter);
};

// Holds a counter raised for its lifetime: increments it now, decrements it
// when destroyed. The counter must outlive the locker.
class CBoolLocker : public CScopedCaller {
 public:
  explicit CBoolLocker(int& counter);

  static void Lock(int* counter) { ++*counter; }
  static void Unlock(int* counter) { --*counter; }
};
