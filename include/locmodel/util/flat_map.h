// FlatMap: an ordered map held as one sorted vector of (key, value) pairs.
//
// Items carry a handful of properties and translations each, and a project
// holds hundreds of thousands of items: a tree node per entry (a heap block
// with three links and a colour) cost more than the entries themselves and
// most of the time spent building them. A sorted vector holds the same
// entries in one block, searched by bisection.
//
// It offers the std::map operations the library's users rely on, with the
// same results, and one difference: inserting or erasing an entry moves the
// entries after it, so it invalidates every iterator and every reference or
// pointer to an entry (key or value) of that map. Look an entry up again
// after a change instead of keeping it. Keys are not const in value_type
// (the vector must move them); changing one through an iterator breaks the
// order.
//
// Readers of stored maps fill one with append_unordered and restore_order
// (see there): entries that arrive in key order cost no search, and any
// other order costs one sort, never a shift per entry.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "locmodel/util/inline_vector.h"

namespace locmodel {

// The first `InlineEntries` entries live inside the map itself, without a
// heap block (see InlineVector).
template <typename K, typename V, uint32_t InlineEntries = 0, typename Compare = std::less<K>>
class FlatMap {
  using Storage = std::conditional_t<InlineEntries == 0, std::vector<std::pair<K, V>>,
                                     InlineVector<std::pair<K, V>, InlineEntries>>;

 public:
  using key_type = K;
  using mapped_type = V;
  using value_type = std::pair<K, V>;
  using size_type = std::size_t;
  using iterator = typename Storage::iterator;
  using const_iterator = typename Storage::const_iterator;

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  size_type size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void reserve(size_type n) { entries_.reserve(n); }
  void clear() { entries_.clear(); }

  iterator lower_bound(const K& key) { return begin() + Bound(key); }
  const_iterator lower_bound(const K& key) const { return begin() + Bound(key); }
  iterator upper_bound(const K& key) {
    const iterator at = lower_bound(key);
    return at != end() && !Less(key, at->first) ? at + 1 : at;
  }
  const_iterator upper_bound(const K& key) const {
    const const_iterator at = lower_bound(key);
    return at != end() && !Less(key, at->first) ? at + 1 : at;
  }
  iterator find(const K& key) {
    const iterator at = lower_bound(key);
    return at != end() && !Less(key, at->first) ? at : end();
  }
  const_iterator find(const K& key) const {
    const const_iterator at = lower_bound(key);
    return at != end() && !Less(key, at->first) ? at : end();
  }
  size_type count(const K& key) const { return find(key) != end() ? 1 : 0; }
  bool contains(const K& key) const { return find(key) != end(); }

  // Inserts unless the key is present; the entry holding the key either way.
  std::pair<iterator, bool> insert(value_type entry) {
    const iterator at = lower_bound(entry.first);
    if (at != end() && !Less(entry.first, at->first)) return {at, false};
    return {entries_.insert(at, std::move(entry)), true};
  }
  template <typename... Args>
  std::pair<iterator, bool> emplace(Args&&... args) {
    return insert(value_type(std::forward<Args>(args)...));
  }
  V& operator[](const K& key) {
    const iterator at = lower_bound(key);
    if (at != end() && !Less(key, at->first)) return at->second;
    return entries_.insert(at, value_type(key, V()))->second;
  }

  iterator erase(const_iterator at) { return entries_.erase(at); }
  size_type erase(const K& key) {
    const iterator at = find(key);
    if (at == end()) return 0;
    entries_.erase(at);
    return 1;
  }
  template <typename Pred>
  friend size_type erase_if(FlatMap& map, Pred pred) {
    using std::erase_if;
    return erase_if(map.entries_, pred);
  }

  bool operator==(const FlatMap& other) const = default;

  // Bulk loading. append_unordered adds the entry at the end without looking
  // at its key; restore_order then makes the vector a map again: sorted, and
  // of entries with equal keys only the first appended kept (as repeated
  // std::map insertions keep it), each other one handed to `discard` before
  // it is dropped. Until restore_order runs, only size, iteration and
  // clear are meaningful.
  void append_unordered(value_type entry) { entries_.push_back(std::move(entry)); }
  template <typename Discard>
  void restore_order(Discard&& discard) {
    const auto keyLess = [this](const value_type& a, const value_type& b) { return Less(a.first, b.first); };
    const auto notAscending = [&](const value_type& a, const value_type& b) { return !keyLess(a, b); };
    if (std::adjacent_find(entries_.begin(), entries_.end(), notAscending) == entries_.end()) return;
    std::stable_sort(entries_.begin(), entries_.end(), keyLess);
    iterator kept = entries_.begin();
    for (iterator next = kept + 1; next != entries_.end(); ++next) {
      if (keyLess(*kept, *next)) {
        if (++kept != next) *kept = std::move(*next);
      } else {
        discard(*next);
      }
    }
    entries_.erase(kept + 1, entries_.end());
  }

 private:
  bool Less(const K& a, const K& b) const { return Compare()(a, b); }
  std::ptrdiff_t Bound(const K& key) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), key,
                                     [this](const value_type& e, const K& k) { return Less(e.first, k); });
    return at - entries_.begin();
  }

  Storage entries_;
};

}  // namespace locmodel
