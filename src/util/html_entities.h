// Internal: the entity tables as data.
#pragma once

#include <cstddef>

namespace locmodel {

struct EntityRow {
  const char16_t* name;
  char16_t character;
};

constexpr size_t kHtml401EntityCount = 252;
extern const EntityRow kHtml401Entities[kHtml401EntityCount];

}  // namespace locmodel
