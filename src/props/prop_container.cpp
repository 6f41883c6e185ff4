#include "locmodel/props/prop_container.h"

#include "locmodel/props/prop_classes.h"
#include "locmodel/serial/binary_serial.h"
#include "locmodel/serial/strategies.h"

namespace {

// A value of the map: a property of a registered class. No entry ever holds
// null, so a stored null fails the read as an unknown class does.
class ValueStrategy final : public Serial::ISerialStrategy<CProp*> {
 public:
  bool Do(Serial::ISerialStream& stream, CProp*& value) const override {
    static const Serial::SerialClassPolyFactoryImpl<CProp> factory(PropClassRegistry::instance());
    static const Serial::SerialClassStrategy<CProp> polymorphic(factory);
    return polymorphic.Do(stream, value) && value;
  }
};

}  // namespace

CPropContainer::~CPropContainer() { Clear(); }

void CPropContainer::Clear() {
  for (auto& [name, value] : props_) delete value;
  props_.clear();
}

const CProp* CPropContainer::GetPropW(const CPropName& name) const {
  const auto it = props_.find(name);
  return it == props_.end() ? nullptr : it->second;
}

void CPropContainer::SetPropW(const CPropName& name, CProp* value) {
  if (!value) return;
  auto it = props_.find(name);
  CProp* old = it == props_.end() ? nullptr : it->second;
  if (handler_) handler_->OnBeforePropChange(*this, name, old, value);
  // The handler may have changed the map: look the name up again.
  props_[name] = value;
  if (handler_) handler_->OnAfterPropChange(*this, name, old, value);
  if (old != value) delete old;
}

void CPropContainer::SetPropW(const CPropName& name) { SetPropW(name, new CEmptyProp()); }

CProp* CPropContainer::RemovePropW(const CPropName& name) {
  const auto it = props_.find(name);
  if (it == props_.end()) return nullptr;
  CProp* old = it->second;
  if (handler_) handler_->OnBeforePropChange(*this, name, old, nullptr);
  props_.erase(name);
  if (handler_) handler_->OnAfterPropChange(*this, name, old, nullptr);
  return old;
}

void CPropContainer::Copy(const CPropContainer& other) {
  if (&other == this) return;
  Clear();
  props_.reserve(other.props_.size());
  for (const auto& [name, value] : other.props_) props_.emplace(name, value->Clone());
}

bool CPropContainer::operator==(const CPropContainer& other) const {
  if (props_.size() != other.props_.size()) return false;
  for (auto a = props_.begin(), b = other.props_.begin(); a != props_.end(); ++a, ++b)
    if (!a->second->IsEqual(*b->second)) return false;
  return true;
}

template <typename S>
bool CPropContainer::DoWith(S& stream) {
  static const ValueStrategy value;
  static const Serial::NodeName map(static_cast<unsigned char>(0x01));
  const bool reading = stream.IsReading();
  if (reading) Clear();
  const bool ok = Serial::InNode(stream, map, [&] {
    if constexpr (Serial::DirectWriter<S>) {
      return Serial::WriteMap(stream, props_, [&](CProp* prop) { return Serial::WriteClassObject(stream, prop) && prop; });
    } else {
      return Serial::DoMap(stream, props_, value);
    }
  });
  // A map read only in part fails the read with either reader: the tree
  // reader would otherwise go on with the rest of the map lost.
  if (reading && !ok) throw Serial::Exceptions::FormatIO();
  return true;
}

bool CPropContainer::Do(Serial::ISerialStream& stream) { return DoWith(stream); }
bool CPropContainer::Do(Serial::Binary::BinarySerialOut& stream) { return DoWith(stream); }
