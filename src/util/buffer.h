// Internal: the one allocator behind every buffer that locmodel::ReleaseBuffer
// frees (malloc, never new).
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace locmodel {

// An uninitialised buffer of `count` elements.
template <typename T>
T* AllocateBuffer(size_t count) {
  auto* buffer = static_cast<T*>(std::malloc(count ? count * sizeof(T) : 1));
  if (!buffer) throw std::bad_alloc();
  return buffer;
}

template <typename Char>
Char* CopyToBuffer(const std::basic_string<Char>& text) {
  const size_t bytes = (text.size() + 1) * sizeof(Char);
  auto* buffer = static_cast<Char*>(std::malloc(bytes));
  if (!buffer) throw std::bad_alloc();
  std::memcpy(buffer, text.c_str(), bytes);
  return buffer;
}

}  // namespace locmodel
