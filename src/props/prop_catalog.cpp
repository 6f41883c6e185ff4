#include "locmodel/props/prop_catalog.h"

#include <algorithm>
#include <tuple>

namespace locmodel {

namespace {

// Built on first use: entries arrive from the static initializers of every
// file that declares a family, in no fixed order.
std::vector<const CfgPropEntry*>& Catalog() {
  static std::vector<const CfgPropEntry*> entries;
  return entries;
}

bool Before(const CfgPropEntry* a, const CfgPropEntry* b) {
  return std::tie(a->family, a->accessor) < std::tie(b->family, b->accessor);
}

}  // namespace

const std::vector<const CfgPropEntry*>& CfgCatalog::Entries() { return Catalog(); }

const CfgPropEntry* CfgCatalog::Find(std::string_view family, std::string_view accessor) {
  CfgPropEntry key{};
  key.family = family;
  key.accessor = accessor;
  const std::vector<const CfgPropEntry*>& entries = Catalog();
  auto at = std::lower_bound(entries.begin(), entries.end(), &key, Before);
  return at != entries.end() && !Before(&key, *at) ? *at : nullptr;
}

// A header's line is compiled into every file that includes it, and into
// both a library and the program using it: the first copy stays.
bool CfgCatalog::Enter(const CfgPropEntry& entry) {
  std::vector<const CfgPropEntry*>& entries = Catalog();
  auto at = std::lower_bound(entries.begin(), entries.end(), &entry, Before);
  if (at == entries.end() || Before(&entry, *at)) entries.insert(at, &entry);
  return true;
}

}  // namespace locmodel
