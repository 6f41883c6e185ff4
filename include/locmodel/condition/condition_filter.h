// Condition filters: named, titled condition expressions attached to items
// as a configuration property. Every item sees the filters of itself and of
// its ancestors, and each filter can be switched off for an item and
// everything below it. The host evaluates the expressions of the enabled
// filters with CConditionChecker.
#pragma once

#include <string>
#include <vector>

#include "locmodel/props/accessor.h"
#include "locmodel/props/prop.h"

class CResItem;

// One filter.
class CConditionEntry {
 public:
  CConditionEntry() = default;
  CConditionEntry(std::u16string id, std::u16string title, std::u16string expression)
      : ID(std::move(id)), Title(std::move(title)), Expression(std::move(expression)) {}

  const std::u16string& GetId() const { return ID; }
  // 13 random capital letters.
  static std::u16string GenerateId();

  // ID, then Title, then Expression, compared code unit by code unit.
  bool operator==(const CConditionEntry&) const = default;
  // Each text in a node of its own: "ID", "Title", "Expression".
  bool Do(Serial::ISerialStream& stream);

  std::u16string ID;
  std::u16string Title;
  std::u16string Expression;
};

// The filters of one item, in order. Lists have no order among themselves:
// operator< is always false.
class CConditionFilterCfg : public std::vector<CConditionEntry> {
 public:
  using std::vector<CConditionEntry>::vector;
  bool operator<(const CConditionFilterCfg&) const { return false; }
  bool Do(Serial::ISerialStream& stream);
};

LOCMODEL_DECLARE_PROP(CConditionFilterCfgProp, CConditionFilterCfg);

// One family of filters: the filter list lives under the base name
// (decorated with the format number), the enable flag of a filter under
// "<filter property name>.<ID>".
class CConditionFilterAccessor : public CCustomAccessor {
 public:
  CConditionFilterAccessor(int formatType, std::u16string name)
      : CCustomAccessor(formatType), name_(std::move(name)) {}

  CPropName GetFilterPropName() const;
  CPropName GetEnablePropName(const std::u16string& id) const;

  // The item's own list, or with `inherited` the lists of the item and of
  // every ancestor joined, nearest first.
  CConditionFilterCfg GetFilterCfg(const CResItem& item, bool inherited) const;
  // Stores a non-empty `cfg` that differs from the nearest stored list.
  void SetFilterCfg(CResItem& item, const CConditionFilterCfg& cfg) const;

  // A filter is enabled unless the nearest enable flag on the path says no.
  bool IsConditionEnabled(const CResItem& item, const std::u16string& id) const;
  // Stores a flag only when it changes what the item sees.
  void SetConditionEnabled(CResItem& item, const std::u16string& id, bool enabled) const;
  CConditionFilterCfg GetEnabledFilters(const CResItem& item, bool inherited) const;

 private:
  std::u16string name_;
};
