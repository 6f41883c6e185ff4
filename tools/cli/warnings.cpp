#include "cli/warnings.h"

#include "locmodel/util/unicode.h"

namespace locmodel::cli {

WarningPrinter::WarningPrinter(std::ostream& err) : err_(err) {
  CMessageProxy::Instance().Register(*this);
}

WarningPrinter::~WarningPrinter() { CMessageProxy::Instance().Unregister(*this); }

void WarningPrinter::OnNotifyMsg(CMgsId id, const void* data) {
  if (id != MessagePanel) return;
  const auto& message = *static_cast<const CMessagePanelMsg*>(data);
  if (message.type != CMessagePanelMsg::Warning) return;
  err_ << "locmodel: warning: " << Utf16ToUtf8(message.text) << "\n";
  err_.flush();
}

}  // namespace locmodel::cli
