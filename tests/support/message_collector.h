// Collects the message-panel messages posted while it lives.
#pragma once

#include <vector>

#include "locmodel/messages/message_proxy.h"

namespace testing_support {

struct MessageCollector : IMessager {
  std::vector<CMessagePanelMsg> messages;
  MessageCollector() { CMessageProxy::Instance().Register(*this); }
  ~MessageCollector() override { CMessageProxy::Instance().Unregister(*this); }
  void OnNotifyMsg(CMgsId id, const void* data) override {
    if (id == MessagePanel) messages.push_back(*static_cast<const CMessagePanelMsg*>(data));
  }
  // The texts of the messages of one type.
  std::vector<std::u16string> Texts(CMessagePanelMsg::CMsgType type) const {
    std::vector<std::u16string> texts;
    for (const CMessagePanelMsg& m : messages) {
      if (m.type == type) texts.push_back(m.text);
    }
    return texts;
  }
};

}  // namespace testing_support
