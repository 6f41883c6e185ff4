// The name of the node every stream's content stands in, shared by the
// writer and the readers.
#pragma once

#include "locmodel/serial/binary_scanner.h"

namespace Serial::Binary {

inline const NodeName& RootName() {
  static const NodeName root(u"Root");
  return root;
}

}  // namespace Serial::Binary
