#include "locmodel/items/item_events.h"

#include <algorithm>

CItemEventServer& CItemEventServer::Instance() {
  // Never destroyed: items that die during process exit (the default item
  // among them) still raise events, whatever the order of static teardown.
  static CItemEventServer* server = new CItemEventServer();
  return *server;
}

void CItemEventServer::Unsubscribe(CResItemEvents* s) {
  subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), s), subscribers_.end());
}

template <typename Event, typename... Args>
void CItemEventServer::Dispatch(Event event, const Args&... args) {
  for (CResItemEvents* s : subscribers_) (s->*event)(args...);
}

void CItemEventServer::Startup() {
  started_ = true;
  Dispatch(&CResItemEvents::OnStartup);
}

void CItemEventServer::Shutdown() {
  started_ = false;
  Dispatch(&CResItemEvents::OnShutdown);
}

#define FORWARD_EVENT(Event, Params, ...)                          \
  void CItemEventServer::Event Params {                            \
    if (Forwarding()) Dispatch(&CResItemEvents::Event, __VA_ARGS__); \
  }

FORWARD_EVENT(OnResItemChange, (CResItem* item), item)
FORWARD_EVENT(OnResItemAdd, (CResItem* parent, CResItem* child), parent, child)
FORWARD_EVENT(OnResItemRemove, (CResItem* parent, CResItem* child), parent, child)
FORWARD_EVENT(OnResItemDelete, (CResItem* item), item)
FORWARD_EVENT(OnTransItemChange, (CResItem* item, CTransItem* trans), item, trans)
FORWARD_EVENT(OnTransItemAdd, (CResItem* item, CTransItem* trans), item, trans)
FORWARD_EVENT(OnTransItemRemove, (CResItem* item, CTransItem* trans), item, trans)
FORWARD_EVENT(OnConfigPropChanged,
              (CResItem* item, const CPropName& name, const CProp* oldValue, const CProp* newValue),
              item, name, oldValue, newValue)
#undef FORWARD_EVENT

void CItemEventServer::OnMultiOperationBegin() {
  if (++multiOpDepth_ == 1 && Forwarding()) Dispatch(&CResItemEvents::OnMultiOperationBegin);
}

void CItemEventServer::OnMultiOperationEnd() {
  if (--multiOpDepth_ == 0 && Forwarding()) Dispatch(&CResItemEvents::OnMultiOperationEnd);
}
