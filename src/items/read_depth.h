// How deeply nested items being read may be. Reading a CResItem counts its
// depth per thread; beyond the limit the children are not read and the
// attempt is noted, so that a loader can refuse the data as malformed.
#pragma once

namespace locmodel::item_reading {

// Forgets an earlier refusal.
void ResetTooDeep();
// Whether reading met items nested deeper than CResItem::kMaxReadDepth.
bool WasTooDeep();

}  // namespace locmodel::item_reading
