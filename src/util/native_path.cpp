#include "locmodel/util/native_path.h"

#include <algorithm>

#include "locmodel/util/unicode.h"

namespace locmodel {

std::string NativePath(std::u16string_view path) {
  std::string native = Utf16ToUtf8(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

}  // namespace locmodel
