// A member a record cannot do without. Serial::DoNode keeps a member whose
// node is absent (the tree reader reading another version) and succeeds;
// these members fail the Do instead, as a malformed one would.
#pragma once

#include "locmodel/serial/strategies.h"

namespace locmodel::config_detail {

template <typename T>
bool DoRequiredNode(Serial::ISerialStream& stream, const char16_t* name, T& member) {
  bool present = false;
  const bool ok = Serial::InNode(stream, Serial::NodeName(name), [&] {
    present = true;
    return Serial::DoValue(stream, member);
  });
  return ok && present;
}

template <typename T>
bool DoRequiredNode(Serial::ISerialStream& stream, const char16_t* name, T& member,
                    const Serial::ISerialStrategy<T>& strategy) {
  bool present = false;
  const bool ok = Serial::InNode(stream, Serial::NodeName(name), [&] {
    present = true;
    return strategy.Do(stream, member);
  });
  return ok && present;
}

}  // namespace locmodel::config_detail
