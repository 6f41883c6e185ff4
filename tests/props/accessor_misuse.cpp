// Compiled by CTest, never linked: each variant puts a property line of the
// wrong form in a family and must fail with the macro's own message.
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_classes.h"

#if defined(STATIC_LINE_IN_FORMAT_FAMILY)
class CMisusedFormatCfg : public CCustomAccessor {
 public:
  using CCustomAccessor::CCustomAccessor;
  LOCMODEL_CFG_STATIC_PROP(Limit, u"Misuse.Limit", CIntProp, int, 1);
};
#elif defined(FORMAT_LINE_IN_STATIC_FAMILY)
class CMisusedStaticCfg {
 public:
  CMisusedStaticCfg() = delete;
  LOCMODEL_CFG_FORMAT_PROP(Limit, u"Misuse.Limit", CIntProp, int, 1);
};
#endif
