// Serialization strategies, and the helpers every Do is written with.
//
// The helpers (at the end of this file) are what a persistent class uses:
//
//   struct CWindowEntry {
//     std::u16string Title;
//     std::set<std::u16string> Classes;
//     std::vector<CAliasEntry> Aliases;       // CAliasEntry has its own Do
//     bool Do(Serial::ISerialStream& s) {
//       return Serial::DoNode(s, u"Title", Title) &&
//              Serial::DoNode(s, u"Classes", Classes) &&
//              Serial::DoNode(s, u"Aliases", Aliases);
//     }
//   };
//
// DoNode keeps a member in a named child node, so that the tree reader finds
// it by name and leaves it alone when the node is absent; DoValue writes a
// value in the current node. Both pick the form from the type (DoValue below),
// so containers, maps, pairs and owned pointers need no code of their own.
//
// A class written often (one per item of a project) may take the stream's
// type instead, `template <typename S> bool Do(S& s)` with the same body:
// handed a DirectWriter by its own type, as a project save does, the
// helpers then bind every call of the stream, and the same bytes come out.
//
// Strategies are small value objects with one operation,
// Do(stream, value), composed at the call site. A container strategy holds a
// pointer to the strategy of its elements, a pair strategy to those of its
// two members, a pointer strategy to a factory. Strategies own nothing and
// report failure as false, leaving partial results in place. The one throw
// of their own is FormatIO for a negative container count, which no writer
// stores (the binary reader below them may throw it too).
//
// Serialized forms:
//   container  a signed 32-bit count field, then one anonymous node per
//              element, in container order
//   pair       two anonymous nodes: first member, second member
//   pointer    a one-byte null flag field (1 null, 0 present), then the
//              object's data in the same node; a polymorphic pointer puts
//              the class name (NodeName::Do) between flag and data
#pragma once

#include <algorithm>
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

template <typename S, typename T>
bool DoValue(S& stream, T& value);

// An enumerator in one field of the width of W (see EnumSerialStrategy).
template <typename W, typename S, typename E>
bool DoEnum(S& stream, E& value) {
  static_assert(std::is_unsigned_v<W>);
  W wire = static_cast<W>(value);
  if (!Serial::Do(stream, wire)) return false;
  if (stream.IsReading()) value = static_cast<E>(wire);
  return true;
}

// The form DoValue chooses for T (see there).
template <typename T>
class DefaultSerialStrategy final : public ISerialStrategy<T> {
 public:
  bool Do(ISerialStream& stream, T& value) const override { return DoValue(stream, value); }
};

// One field of the width of W holding the enumerator converted to W; on
// reading, stored zero-extended, and only when the field is right.
template <typename E, typename W>
class EnumSerialStrategy final : public ISerialStrategy<E> {
 public:
  bool Do(ISerialStream& stream, E& value) const override { return DoEnum<W>(stream, value); }
};

// The forms below are written once, over the stream's type and the
// element's own handling: the strategies run them on an ISerialStream with
// an element strategy, DoValue on a DirectWriter with DoValue.
namespace detail {
// One element of a pair or a container, in the next anonymous node; unlike a
// named member, an element whose node is missing fails the read.
template <typename S, typename Body>
bool InElement(S& stream, Body&& body) {
  if (!stream.EnterNode(AnonymousNode())) return false;
  const bool ok = body();
  stream.LeaveNode();
  return ok;
}

template <typename S, typename A, typename B, typename First, typename Second>
bool DoPair(S& stream, std::pair<A, B>& pair, First&& first, Second&& second) {
  return InElement(stream, [&] { return first(pair.first); }) &&
         InElement(stream, [&] { return second(pair.second); });
}

// The container form's writing: the count, then each element in its node.
template <typename E, typename S, typename C, typename Element>
bool WriteElements(S& stream, const C& container, Element&& element) {
  int count = static_cast<int>(container.size());
  Serial::Do(stream, count);
  for (const auto& stored : container) {
    bool ok;
    if constexpr (std::is_same_v<std::remove_cvref_t<decltype(stored)>, E>) {
      // In place: writing leaves the element as it is.
      ok = InElement(stream, [&] { return element(const_cast<E&>(stored)); });
    } else {
      E copy(stored);  // a map's entry, whose key is const
      ok = InElement(stream, [&] { return element(copy); });
    }
    if (!ok) return false;
  }
  return true;
}

// The null flag of the pointer forms: true (1) when the pointer is null.
template <typename S, typename T>
bool DoNullFlag(S& stream, T* pointer, bool& isNull) {
  isNull = pointer == nullptr;
  return Serial::Do(stream, isNull);
}

// A pointer's writing: the flag, then the object's data in the same node.
template <typename S, typename T, typename Object>
bool WritePointee(S& stream, T* pointer, Object&& object) {
  bool isNull;
  DoNullFlag(stream, pointer, isNull);
  return isNull || object(*pointer);
}
}  // namespace detail

// A polymorphic object's writing (SerialClassStrategy): the flag, the class
// name, then the object's own Do.
template <typename S, typename T>
bool WriteClassObject(S& stream, T* object) {
  return detail::WritePointee(stream, object, [&](T& present) {
    WriteName(stream, present.GetSerialClass().GetName());
    return present.Do(stream);
  });
}

template <typename A, typename B>
class PairSerialStrategy final : public ISerialStrategy<std::pair<A, B>> {
 public:
  constexpr PairSerialStrategy(const ISerialStrategy<A>& first, const ISerialStrategy<B>& second)
      : first_(&first), second_(&second) {}

  bool Do(ISerialStream& stream, std::pair<A, B>& pair) const override {
    return detail::DoPair(
        stream, pair, [&](A& first) { return first_->Do(stream, first); },
        [&](B& second) { return second_->Do(stream, second); });
  }

 private:
  const ISerialStrategy<A>* first_;
  const ISerialStrategy<B>* second_;
};

// What a container does with an element it replaces or does not keep (the
// content before a read, a repeated key, a failed read): elements that own
// objects (raw pointers, in maps too) delete them here.
template <typename E>
struct ElementDisposal {
  static constexpr bool kOwns = false;
  static void Discard(E&) {}
};
template <typename T>
struct ElementDisposal<T*> {
  static constexpr bool kOwns = true;
  static void Discard(T*& p) { delete p, p = nullptr; }
};
template <typename K, typename V>
struct ElementDisposal<std::pair<K, V>> {
  static constexpr bool kOwns = ElementDisposal<V>::kOwns;
  static void Discard(std::pair<K, V>& e) { ElementDisposal<V>::Discard(e.second); }
};

// C is any container with size(), clear(), iteration and insert(end, value),
// or a map filled in bulk (append_unordered and restore_order, as
// locmodel::FlatMap); a set or map keeps the first of repeated keys, either
// way. Reading replaces the content (owned objects in it are deleted first).
// The declared count reserves memory for a bulk map only up to
// kBulkReserve entries, a bound per count field whatever it claims: every
// further element must arrive in its own node first.
template <typename C, typename E = typename C::value_type>
class STLContainerSerialStrategy : public ISerialStrategy<C> {
 public:
  constexpr explicit STLContainerSerialStrategy(const ISerialStrategy<E>& element)
      : element_(&element) {}

  bool Do(ISerialStream& stream, C& container) const override {
    return stream.IsReading() ? Read(stream, container) : Write(stream, container);
  }

 private:
  bool Write(ISerialStream& stream, C& container) const {
    return detail::WriteElements<E>(stream, container, [&](E& element) { return element_->Do(stream, element); });
  }

  bool Read(ISerialStream& stream, C& container) const {
    if constexpr (ElementDisposal<E>::kOwns) {
      for (const auto& stored : container) {
        E element(stored);
        ElementDisposal<E>::Discard(element);
      }
    }
    container.clear();
    int count = 0;
    if (!Serial::Do(stream, count)) return false;
    // No writer stores a negative count: the data are damaged, and reading
    // them as empty would drop whatever follows unnoticed.
    if (count < 0) throw Exceptions::FormatIO();
    // A bulk map is a map again however the read ends, a throw included; its
    // writer stores keys in order, so the restoring is a check that passes.
    struct Restore {
      C& container;
      ~Restore() {
        if constexpr (kBulk) container.restore_order(ElementDisposal<E>::Discard);
      }
    } restore{container};
    if constexpr (kBulk) container.reserve(std::min(count, kBulkReserve));
    for (int i = 0; i < count; ++i) {
      // Owns what the element holds until the container takes it, so that a
      // failure or a FormatIO thrown below loses nothing.
      struct Pending {
        E element{};
        ~Pending() { ElementDisposal<E>::Discard(element); }
      } pending;
      if (!detail::InElement(stream, [&] { return element_->Do(stream, pending.element); })) return false;
      if constexpr (kBulk) {
        container.append_unordered(std::move(pending.element));
        pending.element = E{};
      } else {
        const size_t before = container.size();
        container.insert(container.end(), std::move(pending.element));
        if (container.size() != before) pending.element = E{};  // taken
      }
    }
    // Grown one element at a time, a vector holds up to twice its elements'
    // room; an item's list of children is one per item of a project.
    if constexpr (requires { container.shrink_to_fit(); }) container.shrink_to_fit();
    return true;
  }

  static constexpr bool kBulk = requires(C& c, E& e) {
    c.append_unordered(std::move(e));
    c.restore_order(ElementDisposal<E>::Discard);
  };
  static constexpr int kBulkReserve = 8;

  const ISerialStrategy<E>* element_;
};

// A map's elements are (key, value) pairs written by a pair strategy.
template <typename M>
class MapSerialStrategy final
    : public STLContainerSerialStrategy<M, std::pair<typename M::key_type, typename M::mapped_type>> {
 public:
  using Entry = std::pair<typename M::key_type, typename M::mapped_type>;
  using EntryStrategy = PairSerialStrategy<typename M::key_type, typename M::mapped_type>;

  constexpr explicit MapSerialStrategy(const EntryStrategy& entry)
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

// When reading, the caller passes a null pointer; a present object is created
// by the factory and stored in it before its data is read, so the caller
// owns it even when the read fails.
template <typename T>
class MonoPtrSerialStrategy final : public ISerialStrategy<T*> {
 public:
  constexpr MonoPtrSerialStrategy(const ISerialStrategy<T>& element, const IMonoFactory<T>& factory)
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
  constexpr explicit AutoPtrSerialStrategy(const ISerialStrategy<T*>& pointer) : pointer_(&pointer) {}

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
    if (!stream.IsReading()) return WriteClassObject(stream, pointer);
    bool isNull;
    if (!detail::DoNullFlag(stream, pointer, isNull)) return false;
    if (isNull) return true;
    NodeName className;
    if (!className.Do(stream)) return false;
    pointer = this->factory_->Create(className);
    return pointer && pointer->Do(stream);
  }
};

// ---------------------------------------------------------------- helpers
//
// What every Do is written with (see the example at the top of this file).
// They are inline templates over the strategies above: no allocation, and the
// default strategies they use are constants.

namespace detail {
template <typename T>
inline constexpr DefaultSerialStrategy<T> kDefault{};
template <typename T>
inline constexpr DefaultMonoFactory<T> kFactory{};
template <typename T>
inline constexpr MonoPtrSerialStrategy<T> kPointer{kDefault<T>, kFactory<T>};
template <typename T>
inline constexpr AutoPtrSerialStrategy<T> kOwner{kPointer<T>};
template <typename A, typename B>
inline constexpr PairSerialStrategy<A, B> kPair{kDefault<A>, kDefault<B>};
template <typename C>
inline constexpr STLContainerSerialStrategy<C> kContainer{kDefault<typename C::value_type>};
template <typename M>
inline constexpr MapSerialStrategy<M> kMap{kPair<typename M::key_type, typename M::mapped_type>};

template <typename T>
struct IsUniquePtr : std::false_type {};
template <typename T>
struct IsUniquePtr<std::unique_ptr<T>> : std::true_type {};
template <typename T>
struct IsPair : std::false_type {};
template <typename A, typename B>
struct IsPair<std::pair<A, B>> : std::true_type {};

template <typename T>
concept Map = requires { typename T::key_type; typename T::mapped_type; };
template <typename T>
concept Container = requires(T& c) {
  typename T::value_type;
  c.begin();
  c.end();
  c.size();
  c.clear();
};
template <typename T>
inline constexpr bool kNoForm = false;
}  // namespace detail

// A value in the current node, in the form its type calls for, first match:
//   - a class with a member Do taking the stream: that Do;
//   - a type with a free Serial::Do (values.h): that function, so primitives,
//     strings, VARIANT, RECT and std::vector<unsigned char> (one raw field)
//     keep their forms;
//   - T*: an object the pointer owns (null flag, then T's data; reading
//     creates it with new T);
//   - std::unique_ptr<T>: the same, through AutoPtrSerialStrategy;
//   - std::pair: two anonymous nodes;
//   - a map: the container form, each entry a pair;
//   - any other container: count field, one anonymous node per element.
// Elements, pair members and pointees go through DoValue in turn. An
// enumeration has no default width: give it an EnumSerialStrategy.
//
// S is ISerialStream, or the class of the stream when the caller knows it: a
// DirectWriter is then handed on by its type, down to the members' own Do.
template <typename S, typename T>
bool DoValue(S& stream, T& value) {
  [[maybe_unused]] const auto element = [&stream](auto& e) { return DoValue(stream, e); };
  if constexpr (requires { value.Do(stream); }) {
    return value.Do(stream);
  } else if constexpr (requires { Serial::Do(stream, value); }) {
    return Serial::Do(stream, value);
  } else if constexpr (DirectWriter<S> && std::is_pointer_v<T>) {
    return detail::WritePointee(stream, value, element);
  } else if constexpr (DirectWriter<S> && detail::IsUniquePtr<T>::value) {
    return detail::WritePointee(stream, value.get(), element);
  } else if constexpr (DirectWriter<S> && detail::IsPair<T>::value) {
    return detail::DoPair(stream, value, element, element);
  } else if constexpr (DirectWriter<S> && detail::Map<T>) {
    using Entry = std::pair<typename T::key_type, typename T::mapped_type>;
    return detail::WriteElements<Entry>(stream, value, element);
  } else if constexpr (DirectWriter<S> && detail::Container<T>) {
    return detail::WriteElements<typename T::value_type>(stream, value, element);
  } else if constexpr (std::is_pointer_v<T>) {
    return detail::kPointer<std::remove_pointer_t<T>>.Do(stream, value);
  } else if constexpr (detail::IsUniquePtr<T>::value) {
    return detail::kOwner<typename T::element_type>.Do(stream, value);
  } else if constexpr (detail::IsPair<T>::value) {
    return detail::kPair<typename T::first_type, typename T::second_type>.Do(stream, value);
  } else if constexpr (detail::Map<T>) {
    return detail::kMap<T>.Do(stream, value);
  } else if constexpr (detail::Container<T>) {
    return detail::kContainer<T>.Do(stream, value);
  } else {
    static_assert(detail::kNoForm<T>,
                  "Serial::DoValue: this type has no serialized form; give it a member "
                  "bool Do(Serial::ISerialStream&), or pass a strategy");
    return false;
  }
}

// A value through a chosen strategy (an enumeration's width, a polymorphic
// pointer), for symmetry with DoValue.
template <typename T>
bool DoValue(ISerialStream& stream, T& value, const ISerialStrategy<T>& strategy) {
  return strategy.Do(stream, value);
}

// Runs `body` (a callable returning bool) inside the child node `name`.
// When the node is absent (the tree reader, on data of another version)
// nothing runs and the result is true: the member keeps its value. Otherwise
// the result is the body's.
template <typename S, typename Body>
bool InNode(S& stream, const NodeName& name, Body&& body) {
  if (!stream.EnterNode(name)) return true;
  const bool ok = body();
  stream.LeaveNode();
  return ok;
}

// A member inside the child node `name` (a NodeName, or a text name as
// u"Text"), by DoValue or by the given strategy. Chain members with &&, in
// the order they are written: the first failure ends the Do.
template <typename S, typename T>
bool DoNode(S& stream, const NodeName& name, T& member) {
  return InNode(stream, name, [&] { return DoValue(stream, member); });
}
template <typename T>
bool DoNode(ISerialStream& stream, const NodeName& name, T& member, const ISerialStrategy<T>& strategy) {
  return InNode(stream, name, [&] { return strategy.Do(stream, member); });
}
template <typename S, typename T>
bool DoNode(S& stream, const char16_t* name, T& member) {
  return DoNode(stream, NodeName(name), member);
}
template <typename T>
bool DoNode(ISerialStream& stream, const char16_t* name, T& member, const ISerialStrategy<T>& strategy) {
  return DoNode(stream, NodeName(name), member, strategy);
}

// A container or map whose elements (map values) need a strategy of their
// own, such as owned polymorphic objects:
//   Serial::DoMap(s, props, classStrategy)
template <typename C>
bool DoContainer(ISerialStream& stream, C& container,
                 const ISerialStrategy<typename C::value_type>& element) {
  return STLContainerSerialStrategy<C>(element).Do(stream, container);
}
// The same map's writing with the values' handling given as a callable
// taking the mapped value, for a DirectWriter.
template <typename S, typename M, typename Value>
bool WriteMap(S& stream, M& map, Value&& value) {
  using Entry = std::pair<typename M::key_type, typename M::mapped_type>;
  return detail::WriteElements<Entry>(stream, map, [&](Entry& entry) {
    return detail::DoPair(stream, entry, [&](auto& key) { return DoValue(stream, key); }, value);
  });
}
template <typename M>
bool DoMap(ISerialStream& stream, M& map, const ISerialStrategy<typename M::mapped_type>& value) {
  const PairSerialStrategy<typename M::key_type, typename M::mapped_type> entry(
      detail::kDefault<typename M::key_type>, value);
  return MapSerialStrategy<M>(entry).Do(stream, map);
}

}  // namespace Serial
