// CPropContainer: the one place where properties live. An ordered map from
// name to an owned value, with an optional handler that is told before and
// after every change made through SetPropW and RemovePropW.
//
// Ownership: every stored value belongs to the container and is deleted when
// replaced or when the container is destroyed; SetPropW takes ownership of
// its value, RemovePropW hands the value back to the caller. Copy clones
// every value: two containers never share one.
#pragma once

#include "locmodel/props/prop.h"
#include "locmodel/props/prop_name.h"
#include "locmodel/util/flat_map.h"

class CPropContainer;

class IPropContHandler {
 public:
  // `oldValue`: what was stored under `name` before (null if nothing);
  // `newValue`: what is stored after (null for a removal). During the after
  // callback of a replacement the old value is still alive.
  virtual void OnBeforePropChange(const CPropContainer& cont, const CPropName& name,
                                  const CProp* oldValue, const CProp* newValue) = 0;
  virtual void OnAfterPropChange(const CPropContainer& cont, const CPropName& name,
                                 const CProp* oldValue, const CProp* newValue) = 0;

 protected:
  ~IPropContHandler() = default;
};

class CPropContainer {
 public:
  // Entries move when one is added or removed (see FlatMap).
  // Most containers hold one entry (a translation's text, an item's id):
  // it lives inside the container.
  using PropMap = locmodel::FlatMap<CPropName, CProp*, 1>;

  // The handler is not owned and is fixed for life.
  explicit CPropContainer(IPropContHandler* handler = nullptr) : handler_(handler) {}
  virtual ~CPropContainer();
  CPropContainer(const CPropContainer&) = delete;
  CPropContainer& operator=(const CPropContainer&) = delete;

  // The stored value or null.
  const CProp* GetPropW(const CPropName& name) const;
  // Stores `value` (taking it) under `name`, replacing and deleting what was
  // there, with the handler told before and after. A null value is ignored.
  void SetPropW(const CPropName& name, CProp* value);
  // Stores a flag property (CEmptyProp) under `name`.
  void SetPropW(const CPropName& name);
  // Removes the value and hands it to the caller; null if there was none.
  CProp* RemovePropW(const CPropName& name);

  // Replaces the content by clones of `other`'s values. No callback.
  void Copy(const CPropContainer& other);
  // Same count and, pairwise in name order, values of the same class and
  // equal value. The names themselves are not compared.
  bool operator==(const CPropContainer& other) const;

  IPropContHandler* GetHandler() const { return handler_; }
  // The map itself, to walk the entries in name order. Changes made through
  // it raise no callback and bypass the ownership rules.
  const PropMap& GetPropCont() const { return props_; }
  PropMap& GetPropCont() { return props_; }

  // A node named by the byte 0x01 holding the map. Reading replaces the
  // content without callbacks. An entry that cannot be read (a value of an
  // unknown class, a stored null) fails the read, with either reader, by
  // Serial::Exceptions::FormatIO; the entries read before it stay in the
  // container, to be destroyed with it. Otherwise true. The writer's own
  // overload writes the same with its calls bound.
  bool Do(Serial::ISerialStream& stream);
  bool Do(Serial::Binary::BinarySerialOut& stream);

 private:
  template <typename S>
  bool DoWith(S& stream);
  void Clear();

  PropMap props_;
  IPropContHandler* handler_;
};
