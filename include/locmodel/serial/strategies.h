// Serialization strategies: small value objects with one operation,
// Do(stream, value), composed at the call site. A container strategy holds a
// pointer to the strategy of its elements, a pair strategy to those of its
// two members, a pointer strategy to a factory. Strategies own nothing and
// never throw by themselves (the binary reader below them may throw
// FormatIO); they report failure as false and leave partial results in place.
//
// Serialized forms:
//   container  a signed 32-bit count field, then one anonymous node per
//              element, in container order
//   pair       two anonymous nodes: first member, second member
//   pointer    a one-byte null flag field (1 null, 0 present), then the
//              object's data in the same node; a polymorphic pointer puts
//              the class name (NodeName::Do) between flag and data
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "locmodel/serial/serial_class.h"
#include "locmodel/serial/values.h"

namespace Serial {

template <typename T>
class ISerialStrategy {
 public:
  virtual bool Do(ISerialStream& stream, T& value) const = 0;

 protected:
  ~ISerialStrategy() = default;
};

// Whatever T's own Do writes: the member T::Do(stream) for classes, the free
// Serial::Do(stream, value) for primitives and strings.
template <typename T>
class DefaultSerialStrategy final : public ISerialStrategy<T> {
 public:
  bool Do(ISerialStream& stream, T& value) const override {
    if constexpr (requires { value.Do(stream); }) return value.Do(stream);
    else return Serial::Do(stream, value);
  }
};

// One field of the width of W holding the enumerator converted to W; on
// reading, stored zero-extended, and only when the field is right.
template <typename E, typename W>
class EnumSerialStrategy final : public ISerialStrategy<E> {
  static_assert(std::is_unsigned_v<W>);

 public:
  bool Do(ISerialStream& stream, E& value) const override {
    W wire = static_cast<W>(value);
    if (!Serial::Do(stream, wire)) return false;
    if (stream.IsReading()) value = static_cast<E>(wire);
    return true;
  }
};

template <typename A, typename B>
class PairSerialStrategy final : public ISerialStrategy<std::pair<A, B>> {
 public:
  PairSerialStrategy(const ISerialStrategy<A>& first, const ISerialStrategy<B>& second)
      : first_(&first), second_(&second) {}

  bool Do(ISerialStream& stream, std::pair<A, B>& pair) const override {
    return DoInNode(stream, *first_, pair.first) && DoInNode(stream, *second_, pair.second);
  }

 private:
  template <typename M>
  static bool DoInNode(ISerialStream& stream, const ISerialStrategy<M>& strategy, M& member) {
    if (!stream.EnterNode(NodeName())) return false;
    const bool ok = strategy.Do(stream, member);
    stream.LeaveNode();
    return ok;
  }

  const ISerialStrategy<A>* first_;
  const ISerialStrategy<B>* second_;
};

// What a container does with an element it read but does not keep (a
// repeated key, a failed read): elements that own objects delete them here.
template <typename E>
struct ElementDisposal {
  static void Discard(E&) {}
};
template <typename T>
struct ElementDisposal<T*> {
  static void Discard(T*& p) { delete p, p = nullptr; }
};
template <typename K, typename V>
struct ElementDisposal<std::pair<K, V>> {
  static void Discard(std::pair<K, V>& e) { ElementDisposal<V>::Discard(e.second); }
};

// C is any container with size(), clear(), iteration and insert(end, value);
// a set or map keeps the first of repeated keys. The declared count is never
// used to reserve memory: each element must arrive in its own node.
template <typename C, typename E = typename C::value_type>
class STLContainerSerialStrategy : public ISerialStrategy<C> {
 public:
  explicit STLContainerSerialStrategy(const ISerialStrategy<E>& element) : element_(&element) {}

  bool Do(ISerialStream& stream, C& container) const override {
    return stream.IsReading() ? Read(stream, container) : Write(stream, container);
  }

 private:
  bool Write(ISerialStream& stream, C& container) const {
    int count = static_cast<int>(container.size());
    Serial::Do(stream, count);
    for (const auto& stored : container) {
      E element(stored);
      if (!DoElement(stream, element)) return false;
    }
    return true;
  }

  bool Read(ISerialStream& stream, C& container) const {
    container.clear();
    int count = 0;
    if (!Serial::Do(stream, count)) return false;
    for (int i = 0; i < count; ++i) {
      // Owns what the element holds until the container takes it, so that a
      // failure or a FormatIO thrown below loses nothing.
      struct Pending {
        E element{};
        ~Pending() { ElementDisposal<E>::Discard(element); }
      } pending;
      if (!DoElement(stream, pending.element)) return false;
      const size_t before = container.size();
      auto it = container.insert(container.end(), std::move(pending.element));
      if (container.size() != before) pending.element = E{};  // taken
      (void)it;
    }
    return true;
  }

  bool DoElement(ISerialStream& stream, E& element) const {
    if (!stream.EnterNode(NodeName())) return false;
    const bool ok = element_->Do(stream, element);
    stream.LeaveNode();
    return ok;
  }

  const ISerialStrategy<E>* element_;
};

// A map's elements are (key, value) pairs written by a pair strategy.
template <typename M>
class MapSerialStrategy final
    : public STLContainerSerialStrategy<M, std::pair<typename M::key_type, typename M::mapped_type>> {
 public:
  using Entry = std::pair<typename M::key_type, typename M::mapped_type>;
  using EntryStrategy = PairSerialStrategy<typename M::key_type, typename M::mapped_type>;

  explicit MapSerialStrategy(const EntryStrategy& entry)
      : STLContainerSerialStrategy<M, Entry>(entry) {}
};

template <typename T>
class IMonoFactory {
 public:
  virtual T* Create() const = 0;

 protected:
  ~IMonoFactory() = default;
};

template <typename T>
class DefaultMonoFactory final : public IMonoFactory<T> {
 public:
  T* Create() const override { return new T(); }
};

template <typename T>
class IPolyFactory {
 public:
  virtual T* Create(const NodeName& className) const = 0;

 protected:
  ~IPolyFactory() = default;
};

// Creates objects by class name through a registry; null when no class has
// that name or the object it makes is not a T.
template <typename T>
class SerialClassPolyFactoryImpl final : public IPolyFactory<T> {
 public:
  explicit SerialClassPolyFactoryImpl(const SerialClassRegistry& registry) : registry_(&registry) {}
  T* Create(const NodeName& className) const override {
    std::unique_ptr<SerialObject> object(registry_->Create(className));
    T* typed = dynamic_cast<T*>(object.get());
    if (typed) object.release();
    return typed;
  }

 private:
  const SerialClassRegistry* registry_;
};

namespace detail {
// The null flag of the pointer strategies: true (1) when the pointer is null.
template <typename T>
bool DoNullFlag(ISerialStream& stream, T* pointer, bool& isNull) {
  isNull = pointer == nullptr;
  return Serial::Do(stream, isNull);
}
}  // namespace detail

// When reading, the caller passes a null pointer; a present object is created
// by the factory and stored in it before its data is read, so the caller
// owns it even when the read fails.
template <typename T>
class MonoPtrSerialStrategy final : public ISerialStrategy<T*> {
 public:
  MonoPtrSerialStrategy(const ISerialStrategy<T>& element, const IMonoFactory<T>& factory)
      : element_(&element), factory_(&factory) {}

  bool Do(ISerialStream& stream, T*& pointer) const override {
    bool isNull;
    if (!detail::DoNullFlag(stream, pointer, isNull)) return false;
    if (isNull) return true;
    if (stream.IsReading()) pointer = factory_->Create();
    return element_->Do(stream, *pointer);
  }

 private:
  const ISerialStrategy<T>* element_;
  const IMonoFactory<T>* factory_;
};

// An owning pointer, through a pointer strategy. On reading, the owner takes
// the new object (destroying the one it held) only when the read succeeds.
template <typename T>
class AutoPtrSerialStrategy final : public ISerialStrategy<std::unique_ptr<T>> {
 public:
  explicit AutoPtrSerialStrategy(const ISerialStrategy<T*>& pointer) : pointer_(&pointer) {}

  bool Do(ISerialStream& stream, std::unique_ptr<T>& owner) const override {
    if (!stream.IsReading()) {
      T* raw = owner.get();
      return pointer_->Do(stream, raw);
    }
    T* raw = nullptr;
    std::unique_ptr<T> guard;
    struct Adopt {  // takes the object even if the pointer strategy throws
      T*& raw;
      std::unique_ptr<T>& guard;
      ~Adopt() { guard.reset(raw); }
    };
    {
      Adopt adopt{raw, guard};
      if (!pointer_->Do(stream, raw)) return false;
    }
    owner = std::move(guard);
    return true;
  }

 private:
  const ISerialStrategy<T*>* pointer_;
};

template <typename T>
class PolyPtrSerialStrategy : public ISerialStrategy<T*> {
 public:
  explicit PolyPtrSerialStrategy(const IPolyFactory<T>& factory) : factory_(&factory) {}

 protected:
  const IPolyFactory<T>* factory_;
};

// A polymorphic object: null flag, class name, then the object's own Do. A
// class name that no registered class bears fails the read.
template <typename T>
class SerialClassStrategy final : public PolyPtrSerialStrategy<T> {
 public:
  using PolyPtrSerialStrategy<T>::PolyPtrSerialStrategy;

  bool Do(ISerialStream& stream, T*& pointer) const override {
    bool isNull;
    if (!detail::DoNullFlag(stream, pointer, isNull)) return false;
    if (isNull) return true;
    NodeName className = stream.IsReading() ? NodeName() : pointer->GetSerialClass().GetName();
    if (!className.Do(stream)) return false;
    if (stream.IsReading()) {
      pointer = this->factory_->Create(className);
      if (!pointer) return false;
    }
    return pointer->Do(stream);
  }
};

}  // namespace Serial
