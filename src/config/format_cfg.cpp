#include "locmodel/config/format_cfg.h"

CFilter CNetResCfg::GetDefaultPropFilter() {
  return CFilter({u"*"}, {u"*Name", u"*Category", u"*AsString", u"Value"});
}

CFilter CNetResCfg::GetDefaultWpfPropFilter() { return CFilter({u"*"}, {}); }
