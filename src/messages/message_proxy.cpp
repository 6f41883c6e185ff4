#include "locmodel/messages/message_proxy.h"

#include <algorithm>

CMessageProxy& CMessageProxy::Instance() {
  static CMessageProxy proxy;
  return proxy;
}

void CMessageProxy::Unregister(IMessager& sink) {
  const auto it = std::find(sinks_.begin(), sinks_.end(), &sink);
  if (it != sinks_.end()) sinks_.erase(it);
}

void CMessageProxy::OnNotifyMsg(CMgsId id, const void* data) {
  if (suppress_ && id == MessagePanel) return;
  for (IMessager* sink : sinks_) sink->OnNotifyMsg(id, data);
}

bool CMessageProxy::OnMessage(CMgsId id, const void* data, void* result) {
  for (IMessager* sink : sinks_)
    if (sink->OnMessage(id, data, result)) return true;
  return false;
}
