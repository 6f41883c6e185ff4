// CPrjConfig: the project-wide configuration properties, each reached
// through its accessor family (see locmodel/props/accessor.h).
#pragma once

#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

class CPrjConfig {
 public:
  CPrjConfig() = delete;

  // Whether importing matches resources by their item ids.
  LOCMODEL_CFG_STATIC_PROP(IsImportByItemIdEnabled, u"IsImportByItemIdEnabled", CBoolProp, bool, false);
};
