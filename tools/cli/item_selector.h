// Item selectors: how a command line names one item of a loaded tree.
//
//   /            the root
//   /2/0         the first child of the root's third child (positions from 0)
//   /@src/#101   a step that is not all digits is a resource id: the first
//                child, in order, whose resource id equals it; "/" and "%"
//                inside an id are written %2F and %25
//   id:N         the first item, in pre-order, holding item id N itself
//
// An item is printed as its position path, which names it unambiguously.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "locmodel/items/item_helper.h"  // PositionPath, the form items are printed in

namespace locmodel::cli {

struct ItemSelector {
  // A position, or a resource id (UTF-16, unescaped).
  using Step = std::variant<size_t, std::u16string>;
  std::vector<Step> steps;
  std::optional<unsigned long long> itemId;  // set for "id:N"; steps are then empty

  bool operator==(const ItemSelector&) const = default;
};

// Null when `text` is no selector: not "/" or "id:" first, an empty step, a
// "%" not followed by 2F or 25 (any case), a position or id past 64 bits.
std::optional<ItemSelector> ParseItemSelector(std::string_view text);
// The canonical text of `selector`; parses back to an equal selector.
std::string FormatItemSelector(const ItemSelector& selector);

// The item `selector` names under `root`, or null.
const CResItem* FindItem(const CResItem& root, const ItemSelector& selector);
CResItem* FindItem(CResItem& root, const ItemSelector& selector);


}  // namespace locmodel::cli
