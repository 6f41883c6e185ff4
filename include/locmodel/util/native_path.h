// Project data carries Windows-style paths ("C:\\proj\\a.rc"); the file system
// here wants UTF-8 with forward slashes. NativePath is the one crossing point.
#pragma once

#include <string>
#include <string_view>

namespace locmodel {

// The UTF-8 form of `path` with every backslash turned into a slash.
std::string NativePath(std::u16string_view path);

}  // namespace locmodel
