// A set of language identifiers, ascending, without duplicates.
#pragma once

#include <set>

#include "locmodel/props/prop.h"

using CLangSet = std::set<int>;

LOCMODEL_DECLARE_PROP(CLangSetProp, CLangSet);
