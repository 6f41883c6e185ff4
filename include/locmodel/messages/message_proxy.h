// Messages from the library to the host: CMessageProxy fans every message
// out to the sinks (IMessager) that the host registered, and counts a
// nesting level that sinks may use to indent messages of nested work.
//
// Nothing here is locked: calls come from the host's threads one at a time.
// Sinks are not owned and must unregister before they are destroyed.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CResItem;

class IMessager {
 public:
  // Kinds of message; kind 0 carries a CMessagePanelMsg, the only kind the
  // library posts itself.
  enum CMgsId : int32_t { MessagePanel = 0 };

  // A request: true when the sink handled it.
  virtual bool OnMessage(CMgsId /*id*/, const void* /*data*/, void* /*result*/) { return false; }
  // A notification.
  virtual void OnNotifyMsg(CMgsId /*id*/, const void* /*data*/) {}
  virtual ~IMessager() = default;

 protected:
  IMessager() = default;
};

// One message for the host's message panel.
class CMessagePanelMsg {
 public:
  // Types the library posts: 0 a line of an external command's output, 1 a
  // link that cannot be opened, 2 an error of the project storage, 3 a
  // warning: work was cut short to stay within a limit (the work still
  // ended and returned what it had), or a migration could not carry a
  // setting, row or language over (`first` the key or table, `second` the
  // file of a per-file value).
  enum CMsgType : int32_t { Output = 0, LinkFailure = 1, Error = 2, Warning = 3 };

  // The arguments come in another order than the members are kept.
  CMessagePanelMsg(std::u16string text, CMsgType type, const CResItem* item = nullptr,
                   std::u16string first = {}, std::u16string second = {}, int number = -1)
      : type(type), text(std::move(text)), item(item), first(std::move(first)),
        second(std::move(second)), number(number) {}

  CMsgType type;
  std::u16string text;
  const CResItem* item;  // not owned, may be null
  std::u16string first;
  std::u16string second;
  int number;
};

class CMessageProxy final : public IMessager {
 public:
  // The process-wide proxy, created on first use.
  static CMessageProxy& Instance();

  // A sink registered twice receives everything twice.
  void Register(IMessager& sink) { sinks_.push_back(&sink); }
  // Removes the first entry of `sink`, if any.
  void Unregister(IMessager& sink);

  // Every sink in registration order; message-panel notifications (kind 0)
  // are dropped while suppressed.
  void OnNotifyMsg(CMgsId id, const void* data) override;
  // Asks the sinks in order until one handles the request.
  bool OnMessage(CMgsId id, const void* data, void* result) override;

  void SuppressMPNotifications(bool suppress) { suppress_ = suppress; }
  // The proxy only counts; the level is not clamped.
  void EnterLevel() { ++level_; }
  void ExitLevel() { --level_; }
  int GetLevel() const { return level_; }

  // Posts a message-panel notification (kind 0).
  void Post(const CMessagePanelMsg& message) { OnNotifyMsg(MessagePanel, &message); }

 private:
  std::vector<IMessager*> sinks_;
  bool suppress_ = false;
  int level_ = 0;
};

// Runs an enter action now and an exit action when the scope ends.
class CScopedCaller {
 public:
  using Action = std::function<void()>;
  CScopedCaller(const Action& enter, Action exit) : exit_(std::move(exit)) {
    if (enter) enter();
  }
  ~CScopedCaller() {
    if (exit_) exit_();
  }
  CScopedCaller(const CScopedCaller&) = delete;
  CScopedCaller& operator=(const CScopedCaller&) = delete;

 private:
  Action exit_;
};

// Raises the message proxy's level for its lifetime.
class CLevelUp : public CScopedCaller {
 public:
  CLevelUp()
      : CScopedCaller([] { CMessageProxy::Instance().EnterLevel(); },
                      [] { CMessageProxy::Instance().ExitLevel(); }) {}
};
