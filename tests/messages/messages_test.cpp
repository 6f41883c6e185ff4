#include <gtest/gtest.h>

#include "locmodel/messages/message_proxy.h"
#include "locmodel/messages/run_report.h"
#include "support/temp_dir.h"

namespace {

struct Sink : IMessager {
  std::string name, *log;
  bool answers;
  Sink(std::string n, std::string* l, bool a = false) : name(std::move(n)), log(l), answers(a) {}
  bool OnMessage(CMgsId, const void*, void*) override {
    *log += name + "? ";
    return answers;
  }
  void OnNotifyMsg(CMgsId id, const void*) override { *log += name + std::to_string(id) + " "; }
};

TEST(MessageProxy, FansOutInOrderAndStopsAtTheFirstAnswer) {
  CMessageProxy& proxy = CMessageProxy::Instance();
  std::string log;
  EXPECT_FALSE(proxy.OnMessage(IMessager::MessagePanel, nullptr, nullptr));
  Sink a("A", &log, true), b("B", &log);
  proxy.Register(a);
  proxy.Register(b);
  proxy.Register(b);
  proxy.OnNotifyMsg(IMessager::MessagePanel, nullptr);
  EXPECT_TRUE(proxy.OnMessage(IMessager::MessagePanel, nullptr, nullptr));
  proxy.SuppressMPNotifications(true);
  proxy.Post(CMessagePanelMsg(u"dropped", CMessagePanelMsg::Error));
  proxy.OnNotifyMsg(static_cast<IMessager::CMgsId>(5), nullptr);
  proxy.SuppressMPNotifications(false);
  proxy.Unregister(b);  // only the first entry
  proxy.OnNotifyMsg(IMessager::MessagePanel, nullptr);
  proxy.Unregister(a);
  proxy.Unregister(b);
  proxy.Unregister(b);  // not registered any more: nothing
  EXPECT_EQ(log, "A0 B0 B0 A? A5 B5 B5 A0 B0 ");

  {
    CLevelUp one;
    CLevelUp two;
    EXPECT_EQ(proxy.GetLevel(), 2);
  }
  EXPECT_EQ(proxy.GetLevel(), 0);
}

class RunReport : public testing_support::TempDirTest {};

TEST_F(RunReport, FileFormatAndLimits) {
  const std::u16string name = Path("report.bin");
  MiscUtil::RunReportFile report;
  ASSERT_TRUE(report.SetFileName(name).SetResult(3).SetText(u"ok").Write());
  EXPECT_EQ(testing_support::ReadFile(In("report.bin")), std::string("\x03\x00\x00\x00o\x00k\x00", 8));

  MiscUtil::RunReportFile read;
  read.SetFileName(name);
  ASSERT_TRUE(read.Read());
  EXPECT_EQ(read.GetResult(), 3u);
  EXPECT_EQ(read.GetText(), u"ok");

  report.SetText(std::u16string(2000, u'x')).Write();
  ASSERT_TRUE(read.Read());
  EXPECT_EQ(read.GetText().size(), 1024u);

  testing_support::WriteFile(In("report.bin"), std::string_view("abc"));
  read.SetText(u"kept");
  EXPECT_FALSE(read.Read());
  EXPECT_EQ(read.GetText(), u"kept");
  EXPECT_TRUE(read.Exists());
  EXPECT_TRUE(read.Delete());
  EXPECT_FALSE(read.Exists());
  EXPECT_FALSE(read.Read());
}

}  // namespace
