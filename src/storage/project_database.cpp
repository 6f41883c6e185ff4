#include "locmodel/storage/project_database.h"

#include <atomic>

#include "locmodel/items/res_item.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"
#include "storage/file_probe.h"

namespace locmodel {
namespace {

std::atomic<size_t> maxDatabaseValue{kDefaultMaxDatabaseValue};

// Collects the storage errors posted while it is registered.
class ErrorRecorder final : public IMessager {
 public:
  ErrorRecorder() { CMessageProxy::Instance().Register(*this); }
  ~ErrorRecorder() override { CMessageProxy::Instance().Unregister(*this); }
  ErrorRecorder(const ErrorRecorder&) = delete;
  ErrorRecorder& operator=(const ErrorRecorder&) = delete;

  void OnNotifyMsg(CMgsId id, const void* data) override {
    const auto* message = static_cast<const CMessagePanelMsg*>(data);
    if (id != MessagePanel || message->type != CMessagePanelMsg::Error) return;
    if (!text_.empty()) text_ += "; ";
    text_ += Utf16ToUtf8(message->text);
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace

void SetMaxDatabaseValueSize(size_t bytes) { maxDatabaseValue = bytes; }
size_t MaxDatabaseValueSize() { return maxDatabaseValue; }

bool IsProjectDatabaseFile(const std::u16string& path) {
  return storage::IsDatabase(storage::ProbeFile(NativePath(path)));
}

Status LoadProjectDatabase(const std::u16string& path, std::unique_ptr<CResItem>& root,
                           CStorage::UnattachedRows* unattached) {
  root.reset();
  if (Status refused = storage::RefuseUnreadable(path); !refused.ok()) return refused;
  ErrorRecorder errors;
  std::unique_ptr<CResItem> tree;
  {
    CStorage storage(path, CStorage::ReadOnly);
    tree.reset(storage.Load(unattached));
  }
  if (!errors.text().empty()) return Status::Error(Status::Kind::kDatabase, path, errors.text());
  root = std::move(tree);
  return Status::Ok();
}

Status LoadAnyProject(const std::u16string& path, std::unique_ptr<CResItem>& root,
                      ProjectReader reader) {
  root.reset();
  if (IsProjectDatabaseFile(path)) return LoadProjectDatabase(path, root);
  return LoadProject(path, root, reader);
}

}  // namespace locmodel
