// How deeply nested items being read may be. Reading a CResItem counts its
// depth per thread; beyond the limit the children are not read and the
// attempt is noted, so that a loader can refuse the data as malformed.
#pragma once

#include <string>

namespace locmodel::item_reading {

// Forgets an earlier refusal.
void ResetTooDeep();
// Whether reading met items nested deeper than CResItem::kMaxReadDepth.
bool WasTooDeep();
// The one-line refusal every loader gives for such data.
std::string TooDeepMessage();

}  // namespace locmodel::item_reading
