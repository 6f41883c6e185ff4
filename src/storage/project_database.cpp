#include "locmodel/storage/project_database.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "locmodel/items/res_item.h"
#include "locmodel/messages/message_proxy.h"
#include "locmodel/storage/db_values.h"
#include "locmodel/storage/storage.h"
#include "locmodel/util/native_path.h"
#include "locmodel/util/unicode.h"

namespace locmodel {
namespace {

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

bool IsProjectDatabaseFile(const std::u16string& path) {
  static constexpr char kSqlite3Header[] = "SQLite format 3";  // with its NUL
  FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) return false;
  char head[sizeof kSqlite3Header];
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return (got == sizeof head && std::memcmp(head, kSqlite3Header, sizeof head) == 0) ||
         IsSQLiteFormat(path);
}

bool LoadProjectDatabase(const std::u16string& path, std::unique_ptr<CResItem>& root,
                         std::string& error) {
  root.reset();
  if (FILE* f = std::fopen(NativePath(path).c_str(), "rb")) {
    std::fclose(f);
  } else {
    error = "cannot open file";
    return false;
  }
  ErrorRecorder errors;
  std::unique_ptr<CResItem> tree;
  {
    CStorage storage(path, CStorage::ReadOnly);
    tree.reset(storage.Load());
  }
  if (!errors.text().empty()) {
    error = errors.text();
    return false;
  }
  root = std::move(tree);
  return true;
}

}  // namespace locmodel
