// Internal: the one allocator behind every buffer that locmodel::ReleaseBuffer
// frees (malloc, never new).
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace locmodel {

template <typename Char>
Char* CopyToBuffer(const std::basic_string<Char>& text) {
  const size_t bytes = (text.size() + 1) * sizeof(Char);
  auto* buffer = static_cast<Char*>(std::malloc(bytes));
  if (!buffer) throw std::bad_alloc();
  std::memcpy(buffer, text.c_str(), bytes);
  return buffer;
}

}  // namespace locmodel
