// A vector that costs one pointer while it is empty.
//
// Size and capacity live in front of the elements, in the same heap block,
// so an empty vector is a null pointer and a non-empty one costs one block.
// Trees with millions of small nodes (the serial tree reader) keep several of
// these per node, most of them empty or holding one or two elements, where
// three words of std::vector per member would dominate the memory.
//
// Elements must be nothrow-movable; copying needs copyable elements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace locmodel {

template <typename T>
class CompactVector {
  static_assert(std::is_nothrow_move_constructible_v<T>);
  static_assert(alignof(T) <= 8, "elements follow an 8-byte header");

 public:
  CompactVector() = default;
  ~CompactVector() { clear(); }
  CompactVector(CompactVector&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  CompactVector& operator=(CompactVector&& other) noexcept {
    if (this != &other) {
      clear();
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  CompactVector(const CompactVector& other) {
    for (const T& element : other) emplace_back(element);
  }
  CompactVector& operator=(const CompactVector&) = delete;

  size_t size() const { return block_ ? block_->size : 0; }
  bool empty() const { return size() == 0; }
  T* begin() { return data(); }
  T* end() { return data() + size(); }
  const T* begin() const { return data(); }
  const T* end() const { return data() + size(); }
  T& operator[](size_t i) { return data()[i]; }
  const T& operator[](size_t i) const { return data()[i]; }
  T& back() { return data()[size() - 1]; }

  template <typename... Args>
  T& emplace_back(Args&&... args) {
    return emplace_at(size(), std::forward<Args>(args)...);
  }

  // Inserts before position `index` (at most size()).
  template <typename... Args>
  T& emplace_at(size_t index, Args&&... args) {
    T value(std::forward<Args>(args)...);  // may refer to an element that moves
    if (size() == capacity()) Grow();
    T* d = data();
    const size_t n = block_->size;
    if (index == n) {
      new (d + n) T(std::move(value));
    } else {
      new (d + n) T(std::move(d[n - 1]));
      std::move_backward(d + index, d + n - 1, d + n);
      d[index] = std::move(value);
    }
    ++block_->size;
    return d[index];
  }

  void clear() {
    if (!block_) return;
    std::destroy(begin(), end());
    ::operator delete(block_);
    block_ = nullptr;
  }

 private:
  struct alignas(8) Header {
    uint32_t size;
    uint32_t capacity;
  };

  size_t capacity() const { return block_ ? block_->capacity : 0; }
  T* data() const { return block_ ? reinterpret_cast<T*>(block_ + 1) : nullptr; }

  // Doubles from one element; most vectors here never pass two or four.
  void Grow() {
    const size_t old_size = size();
    const size_t new_capacity = old_size ? 2 * old_size : 1;
    if (new_capacity > UINT32_MAX) throw std::bad_alloc();
    auto* block = static_cast<Header*>(::operator new(sizeof(Header) + new_capacity * sizeof(T)));
    block->size = static_cast<uint32_t>(old_size);
    block->capacity = static_cast<uint32_t>(new_capacity);
    T* to = reinterpret_cast<T*>(block + 1);
    if (block_) {
      std::uninitialized_move(begin(), end(), to);
      std::destroy(begin(), end());
      ::operator delete(block_);
    }
    block_ = block;
  }

  Header* block_ = nullptr;
};

}  // namespace locmodel
