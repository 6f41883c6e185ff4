#include "locmodel/util/status.h"

#include "locmodel/util/unicode.h"

namespace locmodel {

std::string Status::ToString() const {
  if (ok()) return "ok";
  return path_.empty() ? reason_ : Utf16ToUtf8(path_) + ": " + reason_;
}

}  // namespace locmodel
