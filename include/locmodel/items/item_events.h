// Item events: every change to the item tree is announced to one
// process-wide server, which forwards it to the host's subscribers while it
// is started and not locked. Items pass themselves by pointer only; the
// events read nothing from them.
#pragma once

#include <vector>

class CResItem;
class CTransItem;
class CProp;
class CPropName;

// A subscriber: every event has an empty default, so a subscriber overrides
// only what it needs.
class CResItemEvents {
 public:
  virtual ~CResItemEvents() = default;

  // Before any change of the item's own fields, properties or configuration;
  // also when it is attached, detached or re-linked on reading.
  virtual void OnResItemChange(CResItem* /*item*/) {}
  virtual void OnResItemAdd(CResItem* /*parent*/, CResItem* /*child*/) {}
  virtual void OnResItemRemove(CResItem* /*parent*/, CResItem* /*child*/) {}
  virtual void OnResItemDelete(CResItem* /*item*/) {}
  virtual void OnTransItemChange(CResItem* /*item*/, CTransItem* /*trans*/) {}
  virtual void OnTransItemAdd(CResItem* /*item*/, CTransItem* /*trans*/) {}
  virtual void OnTransItemRemove(CResItem* /*item*/, CTransItem* /*trans*/) {}
  // After a configuration property changed; `oldValue` is destroyed after
  // the call.
  virtual void OnConfigPropChanged(CResItem* /*item*/, const CPropName& /*name*/,
                                   const CProp* /*oldValue*/, const CProp* /*newValue*/) {}
  virtual void OnMultiOperationBegin() {}
  virtual void OnMultiOperationEnd() {}
  virtual void OnStartup() {}
  virtual void OnShutdown() {}
};

// Events reach the subscribers, in subscription order, only between Startup
// and Shutdown and while no lock is held; others are dropped, not queued.
// Nested multi-operation brackets reach them as one begin and one end. The
// lock is a suppression counter, not a mutual exclusion: everything runs on
// the host's one thread. Subscribers must unsubscribe before they die and
// must not change the subscriptions from inside an event.
class CItemEventServer final : public CResItemEvents {
 public:
  // The process-wide server, created on first use.
  static CItemEventServer& Instance();

  // Appends `s` (no check for duplicates).
  void Subscribe(CResItemEvents* s) { subscribers_.push_back(s); }
  // Removes every entry of `s`.
  void Unsubscribe(CResItemEvents* s);

  // Neither looks at the lock.
  void Startup();
  void Shutdown();
  bool IsStarted() const { return started_; }
  bool IsLocked() const { return lockCount_ > 0; }
  bool IsMultiOperation() const { return multiOpDepth_ != 0; }
  // Locks nest: true increments the count, false decrements it.
  void SetLock(bool lock) { lockCount_ += lock ? 1 : -1; }

  void OnResItemChange(CResItem* item) override;
  void OnResItemAdd(CResItem* parent, CResItem* child) override;
  void OnResItemRemove(CResItem* parent, CResItem* child) override;
  void OnResItemDelete(CResItem* item) override;
  void OnTransItemChange(CResItem* item, CTransItem* trans) override;
  void OnTransItemAdd(CResItem* item, CTransItem* trans) override;
  void OnTransItemRemove(CResItem* item, CTransItem* trans) override;
  void OnConfigPropChanged(CResItem* item, const CPropName& name, const CProp* oldValue,
                           const CProp* newValue) override;
  // The depth counts even while stopped or locked, so brackets stay balanced.
  void OnMultiOperationBegin() override;
  void OnMultiOperationEnd() override;

 private:
  bool Forwarding() const { return started_ && lockCount_ < 1; }
  template <typename Event, typename... Args>
  void Dispatch(Event event, const Args&... args);

  bool started_ = false;
  int lockCount_ = 0;
  int multiOpDepth_ = 0;
  std::vector<CResItemEvents*> subscribers_;  // not owned
};
