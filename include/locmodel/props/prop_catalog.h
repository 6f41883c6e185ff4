// The catalog of configuration properties: every line of an accessor family
// (locmodel/props/accessor.h) enters its property here when the program or
// library that declares it starts, so generic code (settings screens, the
// command-line tool, tests) can list, read and write every property without
// knowing its family or value type.
//
// An entry describes one property; its operations work at an item as the
// family's own operations do, type-erased. Per-format families (members of
// CCustomAccessor subclasses) take the format number the family object would
// be built with; static families ignore it.
//
// Entries are built at static initialization and live for the process; the
// catalog is not safe to change and read from different threads at once
// (it changes only while a library or program starts).
#pragma once

#include <string_view>
#include <vector>

#include "locmodel/props/prop_name.h"

class CProp;
class CPropClass;
class CResItem;
class IPropOperator;

namespace locmodel {

struct CfgPropEntry {
  std::string_view family;    // the accessor class, as the compiler names it: "CPrjConfig"
  std::string_view accessor;  // the <Name> of the operations: "FuzzyUpdate"
  bool perFormat;             // names are decorated with a format number
  const CPropClass* valueClass;

  // The undecorated property name.
  const CPropName& (*baseName)();
  // The name the property is stored under for `format`.
  CPropName (*name)(int format);
  // A new value (caller owns it) holding the built-in default.
  CProp* (*newDefault)();
  // The value Get<Name> returns, as the property that holds it: the
  // item's (with inherit, the nearest holder's) when it is of the value
  // class, else the default configuration's.
  const CProp& (*get)(const CResItem& item, bool inherit, int format);
  // Set<Name> with the value of `value`; false (nothing done) when `value`
  // is not of the value class.
  bool (*set)(CResItem& item, const CProp& value, int format);
  bool (*has)(const CResItem& item, int format);
  void (*reset)(CResItem& item, int format);
  IPropOperator* (*createOperator)(CResItem& item, int format);
};

class CfgCatalog {
 public:
  CfgCatalog() = delete;

  // Every entry, ordered by family, then accessor name.
  static const std::vector<const CfgPropEntry*>& Entries();
  // The entry of `family`'s `accessor`, or null.
  static const CfgPropEntry* Find(std::string_view family, std::string_view accessor);

  // Called once per declared property (by the accessor macros); a repeated
  // (family, accessor) pair keeps the first entry. Returns true.
  static bool Enter(const CfgPropEntry& entry);
};

}  // namespace locmodel
