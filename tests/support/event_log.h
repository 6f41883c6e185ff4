// A subscriber that records the item events it hears as short words, naming
// the items and translations it has names for and "?" for the others.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "locmodel/items/item_events.h"

namespace testing_support {

struct EventLog : CResItemEvents {
  std::vector<std::string> events;
  std::map<const void*, std::string> names;

  std::string Name(const void* p) { return names.count(p) ? names[p] : "?"; }
  // The events so far as one line: "startup add ? ? change ?".
  std::string Line() const {
    std::string line;
    for (const std::string& e : events) line += (line.empty() ? "" : " ") + e;
    return line;
  }
  void Log(const std::string& event) { events.push_back(event); }

  void OnResItemChange(CResItem* i) override { Log("change " + Name(i)); }
  void OnResItemAdd(CResItem* p, CResItem* c) override { Log("add " + Name(p) + " " + Name(c)); }
  void OnResItemRemove(CResItem* p, CResItem* c) override { Log("remove " + Name(p) + " " + Name(c)); }
  void OnResItemDelete(CResItem* i) override { Log("delete " + Name(i)); }
  void OnTransItemChange(CResItem* i, CTransItem* t) override { Log("tchange " + Name(i) + " " + Name(t)); }
  void OnTransItemAdd(CResItem* i, CTransItem* t) override { Log("tadd " + Name(i) + " " + Name(t)); }
  void OnTransItemRemove(CResItem* i, CTransItem* t) override { Log("tremove " + Name(i) + " " + Name(t)); }
  void OnConfigPropChanged(CResItem* i, const CPropName&, const CProp* o, const CProp* n) override {
    Log("cfg " + Name(i) + (o ? " old" : "") + (n ? " new" : ""));
  }
  void OnMultiOperationBegin() override { Log("begin"); }
  void OnMultiOperationEnd() override { Log("end"); }
  void OnStartup() override { Log("startup"); }
  void OnShutdown() override { Log("shutdown"); }
};

// An EventLog subscribed to the started server for its lifetime; its own
// startup is not recorded.
struct ListeningEventLog : EventLog {
  ListeningEventLog() {
    CItemEventServer::Instance().Subscribe(this);
    CItemEventServer::Instance().Startup();
    events.clear();
  }
  ~ListeningEventLog() override {
    CItemEventServer::Instance().Shutdown();
    CItemEventServer::Instance().Unsubscribe(this);
  }
};

}  // namespace testing_support
