// Property values as JSON, one form per value type, so that every command
// shows a property the same way.
#pragma once

#include <string>

class CProp;

namespace locmodel::cli {

// Appends the value of `prop` as JSON; false (nothing appended) when its
// class has no form here.
bool AppendPropValue(std::string& out, const CProp& prop);

}  // namespace locmodel::cli
