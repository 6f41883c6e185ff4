// Inside the .hhp writer: CHhpInfo::ToString's text made directly in UTF-8,
// and how many LFs that text holds of its own, so that a text holding more
// betrays a field that holds one.
#pragma once

#include <cstddef>
#include <string>

#include "locmodel/hhp/hhp_info.h"

namespace locmodel::hhp_detail {

// Utf16ToUtf8(info.ToString()), without the UTF-16 text: a surrogate
// without its partner becomes U+FFFD.
std::string ToUtf8String(const CHhpInfo& info);

size_t ToStringLineCount(const CHhpInfo& info);

}  // namespace locmodel::hhp_detail
