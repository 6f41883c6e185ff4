#include "locmodel/props/accessor.h"

#include <string>
#include <utility>

CPropName CCustomAccessor::Decorate(int formatType, const CPropName& name) {
  if (!name.IsStr() || formatType == UNDECORATED_FORMAT) return name;
  std::string number = std::to_string(formatType);
  std::u16string decorated(number.begin(), number.end());
  decorated += u'.';
  decorated += name.GetStr();
  return CPropName(std::move(decorated));
}

CCustomAccessor& CCustomAccessor::operator=(const CCustomAccessor& other) {
  if (this != &other) {
    ForgetNames();
    formatType_ = other.formatType_;
  }
  return *this;
}

const CPropName& CCustomAccessor::AddDecoratedName(const CPropName& base) const {
  if (!base.IsStr()) return base;
  auto* node = new CNameNode{&base, Decorate(formatType_, base), names_.load(std::memory_order_acquire)};
  // Another thread sharing this accessor may push first, possibly the same
  // name: look again at what it pushed before retrying.
  const CNameNode* seen = node->next;
  while (!names_.compare_exchange_weak(node->next, node, std::memory_order_acq_rel,
                                       std::memory_order_acquire)) {
    for (const CNameNode* other = node->next; other != seen; other = other->next) {
      if (other->base == &base) {
        delete node;
        return other->name;
      }
    }
    seen = node->next;
  }
  return node->name;
}

void CCustomAccessor::ForgetNames() {
  const CNameNode* node = names_.exchange(nullptr, std::memory_order_acquire);
  while (node) delete std::exchange(node, node->next);
}
