// glibc exports its allocator under __libc_* names, so wrappers defined in
// the executable take the public names and forward. Only usable sizes are
// counted, which is what the process really pays.
#include "heap_peak.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<bool> tracking{false};
std::atomic<long long> current{0};
std::atomic<long long> peak{0};

void Count(void* block, long long sign) {
  if (!block || !tracking.load(std::memory_order_relaxed)) return;
  const long long bytes = sign * static_cast<long long>(malloc_usable_size(block));
  const long long now = current.fetch_add(bytes) + bytes;
  long long seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
}

void* Counted(void* block) {
  Count(block, 1);
  return block;
}

}  // namespace

extern "C" {
void* malloc(size_t size) { return Counted(__libc_malloc(size)); }
void* calloc(size_t count, size_t size) { return Counted(__libc_calloc(count, size)); }
void free(void* block) {
  Count(block, -1);
  __libc_free(block);
}
void* realloc(void* block, size_t size) {
  Count(block, -1);
  void* moved = __libc_realloc(block, size);
  // A failed realloc keeps the old block.
  Count(moved ? moved : (size ? block : nullptr), 1);
  return moved;
}
void* memalign(size_t alignment, size_t size) { return Counted(__libc_memalign(alignment, size)); }
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size) {
  void* block = memalign(alignment, size);
  if (!block) return ENOMEM;
  *out = block;
  return 0;
}
}

HeapPeak::HeapPeak() {
  current = 0;
  peak = 0;
  tracking = true;
}
HeapPeak::~HeapPeak() { tracking = false; }
long long HeapPeak::Peak() const { return peak; }
long long HeapPeak::Current() const { return current; }
