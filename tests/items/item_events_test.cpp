#include "locmodel/items/item_events.h"

#include <gtest/gtest.h>

#include "support/event_log.h"

namespace {

// The server is process-wide: each test leaves it stopped, unlocked and
// without subscribers.
class ItemEvents : public ::testing::Test {
 protected:
  CItemEventServer& server = CItemEventServer::Instance();
  void TearDown() override {
    server.Unsubscribe(&a);
    server.Unsubscribe(&b);
    server.Shutdown();
  }
  testing_support::EventLog a, b;
};

TEST_F(ItemEvents, ForwardOnlyWhileStartedAndUnlockedAndBracketsOnce) {
  server.Subscribe(&a);
  server.OnResItemAdd(nullptr, nullptr);
  server.Startup();
  server.OnResItemAdd(nullptr, nullptr);
  server.SetLock(true);
  server.SetLock(true);
  server.SetLock(false);
  server.OnResItemChange(nullptr);  // still locked once
  EXPECT_TRUE(server.IsLocked());
  server.SetLock(false);
  // Nested brackets reach subscribers once.
  server.OnMultiOperationBegin();
  server.OnMultiOperationBegin();
  EXPECT_TRUE(server.IsMultiOperation());
  server.OnResItemChange(nullptr);
  server.OnMultiOperationEnd();
  server.OnMultiOperationEnd();
  EXPECT_FALSE(server.IsMultiOperation());
  // The depth counts while locked: a bracket opened under the lock and
  // closed after it shows only its end.
  server.SetLock(true);
  server.OnMultiOperationBegin();
  server.SetLock(false);
  server.OnMultiOperationEnd();
  server.Shutdown();
  server.OnResItemChange(nullptr);
  EXPECT_EQ(a.Line(), "startup add ? ? begin change ? end end shutdown");
}

TEST_F(ItemEvents, SubscribersInOrderAndUnsubscribeRemovesEveryEntry) {
  server.Subscribe(&a);
  server.Subscribe(&b);
  server.Subscribe(&a);
  server.Startup();
  server.OnResItemChange(nullptr);
  server.Unsubscribe(&a);
  server.OnResItemChange(nullptr);
  EXPECT_EQ(a.Line(), "startup startup change ? change ?");
  EXPECT_EQ(b.Line(), "startup change ? change ?");
}

}  // namespace
