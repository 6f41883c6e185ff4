// CFilter: which names (XML attributes, nodes, keys, ...) a scanner takes,
// as an include set and an exclude set of names or wildcard patterns ("*"
// any run, "?" one code unit), both ignoring letter case.
//
// The include entry "*" takes every name except those the exclude set
// names; without it, only the names the include set names are taken and the
// exclude set is not consulted. An empty include set takes nothing. Each
// call walks the sets once, so its cost grows linearly with the patterns.
#pragma once

#include <set>
#include <string>

#include "locmodel/props/prop.h"

class CFilter {
 public:
  // Code unit order of the lower-cased texts (u_tolower, the lowering of
  // CStrUtil::MakeLower and WildcardMatch): entries that differ only in
  // letter case are one element.
  struct CaseInsensitiveCmp {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
  };
  using NameSet = std::set<std::u16string, CaseInsensitiveCmp>;

  // Empty sets: a filter that takes no name.
  CFilter() = default;
  CFilter(NameSet include, NameSet exclude) : include_(std::move(include)), exclude_(std::move(exclude)) {}

  const NameSet& GetIncludeSet() const { return include_; }
  const NameSet& GetExcludeSet() const { return exclude_; }

  // Whether the filter takes `name`; `wildcards` false compares entries as
  // names (ignoring case), true matches them as patterns.
  bool IsAllowedName(const std::u16string& name, bool wildcards) const;
  // Whether an entry of `set` other than "*" matches `name` as a pattern.
  static bool IsMatch(const NameSet& set, const std::u16string& name);

  // Element by element, case-sensitive.
  bool operator==(const CFilter& other) const;
  // By the include sets, then (when those are equal) the exclude sets,
  // lexicographically and case-sensitive.
  bool operator<(const CFilter& other) const;

  // The include set, then the exclude set, each a container of texts in the
  // current node.
  bool Do(Serial::ISerialStream& stream);

 private:
  NameSet include_;
  NameSet exclude_;
};

LOCMODEL_DECLARE_PROP(CFilterProp, CFilter);
