// How the host shows the controls of a form (form files, .NET resources):
// each source control type, given as a type mask, maps to one of the host's
// control types, or is hidden. Two static accessor families keep one list
// each; CControlMappingStore fills a list from a built-in table of the host.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "locmodel/props/accessor.h"
#include "locmodel/props/prop.h"

class CControlTypeMapping {
 public:
  CControlTypeMapping() = default;
  // A shown mapping.
  CControlTypeMapping(std::u16string srcTypeMask, std::u16string controlType)
      : SrcTypeMask(std::move(srcTypeMask)), Show(true), ControlType(std::move(controlType)) {}

  bool operator==(const CControlTypeMapping&) const = default;
  // By the mask alone, code unit by code unit.
  bool operator<(const CControlTypeMapping& other) const { return SrcTypeMask < other.SrcTypeMask; }

  // "SrcTypeMask" (required), then "Show" and "ControlType", which keep
  // their values when absent or unreadable.
  bool Do(Serial::ISerialStream& stream);

  std::u16string SrcTypeMask;
  bool Show = false;
  std::u16string ControlType;
};

// Mappings in order; lists compare element by element, lexicographically
// by the mapping order.
class CControlMappingList : public std::vector<CControlTypeMapping> {
 public:
  using std::vector<CControlTypeMapping>::vector;
  // A container of mappings, without a node of its own.
  bool Do(Serial::ISerialStream& stream);
};

LOCMODEL_DECLARE_PROP(CControlMappingProp, CControlMappingList);

class CControlMappingStore {
 public:
  CControlMappingStore() = delete;

  // One row of a host's table: the source type mask, then the control type
  // ("#hidden#" for a source type that is not shown; null skips the row).
  struct MAP_INFO {
    const char16_t* SrcTypeMask;
    const char16_t* ControlType;
  };

  // Appends one mapping per row of `table[0..count)` that has a control
  // type; a null mask reads as empty. Existing entries stay; nothing merges.
  static void FillFromStatic(CControlMappingList& list, const MAP_INFO* table, size_t count);
};

class CDfmControlMappingCfg {
 public:
  CDfmControlMappingCfg() = delete;

  // "Dfm." in mixed case, unlike CDfmCfg's "DFM." names.
  LOCMODEL_CFG_STATIC_PROP(ControlMapping, u"Dfm.ControlMapping", CControlMappingProp, CControlMappingList,
                           CControlMappingList());
};

namespace Detail {

class CNetResControlMappingCfg {
 public:
  CNetResControlMappingCfg() = delete;

  LOCMODEL_CFG_STATIC_PROP(ControlMapping, u"NetRes.ControlMapping", CControlMappingProp, CControlMappingList,
                           CControlMappingList());
};

}  // namespace Detail
