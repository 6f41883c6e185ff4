// Inside the .hhp writer: how many LFs CHhpInfo::ToString writes of its own,
// so that a text holding more betrays a field that holds one.
#pragma once

#include <cstddef>

#include "locmodel/hhp/hhp_info.h"

namespace locmodel::hhp_detail {

size_t ToStringLineCount(const CHhpInfo& info);

}  // namespace locmodel::hhp_detail
