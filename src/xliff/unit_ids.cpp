#include "xliff/unit_ids.h"

#include <algorithm>
#include <charconv>

#include "locmodel/items/item_helper.h"
#include "locmodel/items/res_item.h"

namespace locmodel::xliff {
namespace {

constexpr unsigned long long kNoItemId = 4294967295ULL;

// Without inheritance an item lacking an id of its own reads as "no id".
bool OwnItemId(const CResItem& item, unsigned long long& id) {
  id = CItemIdAccessor::GetItemId(item, false);
  return id != kNoItemId;
}

bool ParseNumber(std::string_view text, unsigned long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

UnitIds::UnitIds(const CResItem& top) : top_(top) {
  std::vector<const CResItem*> pending{&top};
  while (!pending.empty()) {  // iterative: a tree built in memory may nest deeply
    const CResItem* item = pending.back();
    pending.pop_back();
    items_.push_back(item);
    unsigned long long id;
    if (OwnItemId(*item, id)) unique_.emplace_back(id, const_cast<CResItem*>(item));
    pending.insert(pending.end(), item->GetResItems().begin(), item->GetResItems().end());
  }
  std::sort(items_.begin(), items_.end());
  visited_.assign(items_.size(), false);
  // Ids that several items share are dropped, in place.
  std::sort(unique_.begin(), unique_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  size_t kept = 0;
  for (size_t i = 0; i < unique_.size();) {
    size_t j = i + 1;
    while (j < unique_.size() && unique_[j].first == unique_[i].first) ++j;
    if (j == i + 1) unique_[kept++] = unique_[i];
    i = j;
  }
  unique_.resize(kept);
}

bool UnitIds::FirstVisit(const CResItem& item) {
  const auto it = std::lower_bound(items_.begin(), items_.end(), &item);
  if (it == items_.end() || *it != &item) return true;
  const auto at = static_cast<size_t>(it - items_.begin());
  if (visited_[at]) return false;
  visited_[at] = true;
  return true;
}

bool UnitIds::UniqueId(const CResItem& item, unsigned long long& id) const {
  if (!OwnItemId(item, id)) return false;
  const auto it = std::lower_bound(unique_.begin(), unique_.end(), id,
                                   [](const auto& entry, unsigned long long key) { return entry.first < key; });
  return it != unique_.end() && it->first == id && it->second == &item;
}

std::string UnitIds::IdOf(const CResItem& item, std::string_view positions) const {
  unsigned long long id;
  const bool byItemId = UniqueId(item, id);
  std::string text(1, byItemId ? 'i' : 'p');
  if (byItemId) text += std::to_string(id);
  else text += positions;
  return text;
}

std::string UnitIds::PositionsOf(const CResItem& item) {
  std::vector<size_t> positions;
  for (const CResItem* at = &item; at->GetParent(); at = at->GetParent()) {
    const auto& siblings = at->GetParent()->GetResItems();
    positions.push_back(static_cast<size_t>(std::find(siblings.begin(), siblings.end(), at) - siblings.begin()));
  }
  std::string text;
  for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
    if (!text.empty()) text += '.';
    text += std::to_string(*it);
  }
  return text;
}

CResItem* UnitIds::Find(std::string_view id) const {
  if (id.empty()) return nullptr;
  std::string canonical(1, id[0]);  // only the canonical spelling matches: not "i007", not "p01"
  if (id[0] == 'i') {
    unsigned long long value;
    if (!ParseNumber(id.substr(1), value)) return nullptr;
    const auto it = std::lower_bound(unique_.begin(), unique_.end(), value,
                                     [](const auto& entry, unsigned long long key) { return entry.first < key; });
    if (it == unique_.end() || it->first != value || id.substr(1) != std::to_string(value)) return nullptr;
    return it->second;
  }
  if (id[0] != 'p') return nullptr;
  CResItem* found = const_cast<CResItem*>(&top_);
  for (std::string_view rest = id.substr(1); !rest.empty();) {
    const size_t dot = rest.find('.');
    unsigned long long position;
    if (!ParseNumber(rest.substr(0, dot), position) || position >= found->GetResItems().size())
      return nullptr;
    found = found->GetResItems()[position];
    if (canonical.size() > 1) canonical += '.';
    canonical += std::to_string(position);
    if (dot == std::string_view::npos) break;
    rest = rest.substr(dot + 1);
    if (rest.empty()) return nullptr;
  }
  // An item known by its item id has no position id.
  unsigned long long value;
  return canonical == id && !UniqueId(*found, value) ? found : nullptr;
}

}  // namespace locmodel::xliff
