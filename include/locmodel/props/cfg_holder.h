// CCfgHolder: how configuration is inherited down the item tree.
//
// Any item may hold configuration properties (CResItem::GetCfgProps). An
// item sees the value stored on itself, else on its nearest ancestor; where
// no item on the path holds a property, the accessor families fall back to
// the default configuration: the configuration container of the
// process-wide DefaultItem, where each built-in default is written on first
// use and where the host may store application-wide defaults of its own.
//
// Ownership: SetPropW takes the value; the CPropItem rows of a prefix search
// borrow their values from the items, which must outlive the rows.
//
// DefaultItem is a static object: its configuration must not be touched
// from the static initializers of other files. Its destructor raises item
// events at process exit, which the never-destroyed event server absorbs.
#pragma once

#include <string>
#include <vector>

#include "locmodel/items/res_item.h"

class CCfgHolder {
 public:
  // The type of the item that carries the default configuration.
  static constexpr int DefaultItemType = 5555556;

  class CDefaultResItem : public CResItem {
   public:
    CDefaultResItem();
  };

  // Holds the default configuration for the whole process.
  static CDefaultResItem DefaultItem;

  // One row of a prefix search.
  struct CPropItem {
    std::u16string name;    // the property's textual name
    int level;              // 0 the item searched, -1 its parent, -2 the grandparent...
    const CProp* prop;      // borrowed from the item's configuration
  };

  CCfgHolder() = delete;

  // The item's own value; with `inherit`, else that of the nearest ancestor
  // holding one. Null when none does: the default configuration is not
  // consulted (unless the default item is itself an ancestor).
  static const CProp* GetPropW(const CResItem& item, const CPropName& name, bool inherit);
  // Stores `value` (taking it) in the item's own configuration.
  static void SetPropW(CResItem& item, const CPropName& name, CProp* value);
  // Removes and destroys the item's own value, if it holds one; the item
  // inherits again.
  static void DeleteProp(CResItem& item, const CPropName& name);
  static CPropContainer& GetDefaultCfg();
  // Whether `item` or one of its ancestors is a default item; false for null.
  static bool IsDefaultAttached(const CResItem* item);

  // Appends, in name order, a row for each of the item's own configuration
  // properties whose textual name begins with `prefix` and is longer than it.
  static void GetPropsByPrefix(const CResItem& item, std::vector<CPropItem>& out,
                               const std::u16string& prefix, int level);
  // The rows of the item (level 0), then of its parent (-1), and so on up
  // to the root; a name held at several levels appears once per level.
  static std::vector<CPropItem> GetPropsByPrefixOrdered(const CResItem& item,
                                                        const std::u16string& prefix);
  // Empties the rows; the values stay with their items.
  static void FreePropsVector(std::vector<CPropItem>& props);
};
