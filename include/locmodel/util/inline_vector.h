// InlineVector: a vector that keeps up to N elements inside itself and moves
// them to the heap only when it must hold more.
//
// A translation carries one property (its text) and an item one
// configuration property; in a project of hundreds of thousands of items,
// a heap block for each of those single entries was a fifth of all the
// allocations a load makes. It offers the part of std::vector that
// FlatMap uses, with the same invalidation rules. Elements must move
// without throwing. The heap block's address shares the room of the inline
// elements, which it never needs at the same time: the vector costs N
// elements and 8 bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace locmodel {

template <typename T, uint32_t N>
class InlineVector {
  static_assert(N > 0 && std::is_nothrow_move_constructible_v<T>);

 public:
  using value_type = T;
  using size_type = std::size_t;
  using iterator = T*;
  using const_iterator = const T*;

  InlineVector() = default;
  InlineVector(const InlineVector& other) {
    reserve(other.size_);
    std::uninitialized_copy(other.begin(), other.end(), begin());
    size_ = other.size_;
  }
  InlineVector(InlineVector&& other) noexcept { TakeFrom(other); }
  InlineVector& operator=(const InlineVector& other) {
    if (this != &other) *this = InlineVector(other);
    return *this;
  }
  InlineVector& operator=(InlineVector&& other) noexcept {
    if (this != &other) {
      Free();
      TakeFrom(other);
    }
    return *this;
  }
  ~InlineVector() { Free(); }

  iterator begin() { return IsInline() ? Inline() : heap_; }
  iterator end() { return begin() + size_; }
  const_iterator begin() const { return IsInline() ? Inline() : heap_; }
  const_iterator end() const { return begin() + size_; }
  size_type size() const { return size_; }
  bool empty() const { return size_ == 0; }

  void reserve(size_type n) {
    if (n > capacity_) Relocate(n);
  }
  void clear() {
    std::destroy(begin(), end());
    size_ = 0;
  }
  void push_back(T value) { insert(end(), std::move(value)); }

  iterator insert(const_iterator at, T value) {
    const size_type index = static_cast<size_type>(at - begin());
    if (size_ == capacity_) Relocate(std::max<size_type>(2 * size_type{capacity_}, N + 1));
    T* const slot = begin() + index;
    if (index == size_) {
      ::new (static_cast<void*>(slot)) T(std::move(value));
    } else {
      ::new (static_cast<void*>(end())) T(std::move(*(end() - 1)));
      std::move_backward(slot, end() - 1, end());
      *slot = std::move(value);
    }
    ++size_;
    return slot;
  }
  iterator erase(const_iterator at) { return erase(at, at + 1); }
  iterator erase(const_iterator first, const_iterator last) {
    T* const data = begin();
    T* const from = data + (first - data);
    T* const tail = std::move(data + (last - data), end(), from);
    std::destroy(tail, end());
    size_ = static_cast<uint32_t>(tail - data);
    return from;
  }
  template <typename Pred>
  friend size_type erase_if(InlineVector& vector, Pred pred) {
    const size_type before = vector.size_;
    vector.erase(std::remove_if(vector.begin(), vector.end(), pred), vector.end());
    return before - vector.size_;
  }

  bool operator==(const InlineVector& other) const {
    return std::equal(begin(), end(), other.begin(), other.end());
  }

 private:
  T* Inline() { return std::launder(reinterpret_cast<T*>(inline_)); }
  const T* Inline() const { return std::launder(reinterpret_cast<const T*>(inline_)); }
  bool IsInline() const { return capacity_ == N; }

  void Relocate(size_type capacity) {
    T* const moved = static_cast<T*>(::operator new(capacity * sizeof(T)));
    std::uninitialized_move(begin(), end(), moved);
    std::destroy(begin(), end());
    if (!IsInline()) ::operator delete(heap_);
    heap_ = moved;
    capacity_ = static_cast<uint32_t>(capacity);
  }
  void Free() {
    clear();
    if (!IsInline()) ::operator delete(heap_);
    capacity_ = N;
  }
  // `other` ends empty and inline, as a moved-from vector may be reused.
  void TakeFrom(InlineVector& other) {
    if (other.IsInline()) {
      std::uninitialized_move(other.begin(), other.end(), Inline());
      size_ = other.size_;
      other.clear();
      return;
    }
    heap_ = other.heap_;
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, N);
  }

  union {
    alignas(T) unsigned char inline_[N * sizeof(T)];
    T* heap_;  // when capacity_ is beyond N
  };
  uint32_t size_ = 0;
  uint32_t capacity_ = N;
};

}  // namespace locmodel
