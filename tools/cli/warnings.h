// The library's warnings (message-panel messages of type 3) as the tool's
// own: one "locmodel: warning: ..." line each on standard error.
#pragma once

#include <ostream>

#include "locmodel/messages/message_proxy.h"

namespace locmodel::cli {

// Prints the warnings posted while it lives.
class WarningPrinter final : public IMessager {
 public:
  explicit WarningPrinter(std::ostream& err);
  ~WarningPrinter() override;
  WarningPrinter(const WarningPrinter&) = delete;
  WarningPrinter& operator=(const WarningPrinter&) = delete;

  void OnNotifyMsg(CMgsId id, const void* data) override;

 private:
  std::ostream& err_;
};

}  // namespace locmodel::cli
