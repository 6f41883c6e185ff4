// The peak heap use of a stretch of code, for memory targets. The bench
// binary replaces glibc's malloc family with thin wrappers that count live
// bytes while a HeapPeak is open; everything that allocates (operator new,
// ICU, libxml2) goes through them.
#pragma once

#include <cstddef>

class HeapPeak {
 public:
  // Starts counting from zero; one HeapPeak at a time.
  HeapPeak();
  ~HeapPeak();
  HeapPeak(const HeapPeak&) = delete;
  HeapPeak& operator=(const HeapPeak&) = delete;

  // The largest number of bytes allocated beyond the start at any moment
  // (memory freed that was allocated before the start counts negative).
  long long Peak() const;
  // The bytes allocated beyond the start now.
  long long Current() const;
};
