// The ids that tie XLIFF units and groups to items, both ways.
//
// An item with an item id of its own that no other item of the tree shares
// is "i<id>"; any other item is "p<positions>", its position path from the
// top of the tree with "." between positions ("p2.0.1"; the top item is
// "p"). Both forms are NMTOKENs and never collide. An item id shared by two
// items would make the match ambiguous, so such items fall back to their
// positions, in the export and the import alike.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CResItem;

namespace locmodel::xliff {

class UnitIds {
 public:
  // Indexes the item ids of the whole tree `top` heads; the tree must not
  // change while this object is used.
  explicit UnitIds(const CResItem& top);

  // The id of `item`, whose position path is `positions` ("2.0.1", "" for
  // the top item).
  std::string IdOf(const CResItem& item, std::string_view positions) const;
  // The position path of an item of the tree, from its parent links.
  static std::string PositionsOf(const CResItem& item);
  // The item whose id is `id` exactly; null for none.
  CResItem* Find(std::string_view id) const;
  // True the first time it is asked for an item of the tree, false after:
  // two units for one item are an error of the document. Costs no memory
  // beyond what the constructor set aside, however long the document.
  bool FirstVisit(const CResItem& item);

 private:
  // Whether `item` is known by its item id, and that id.
  bool UniqueId(const CResItem& item, unsigned long long& id) const;

  const CResItem& top_;
  // Item ids held by exactly one item, sorted by id.
  std::vector<std::pair<unsigned long long, CResItem*>> unique_;
  // Every item of the tree, sorted by address, and which were visited.
  std::vector<const CResItem*> items_;
  std::vector<bool> visited_;
};

}  // namespace locmodel::xliff
