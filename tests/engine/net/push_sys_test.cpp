// System pushes of the IM server through the engine's session: kick-outs checked
// against this login's registration, the friend synchronisation they start, the
// system notice and profile changes, and what is ignored.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "engine/net/PushTestEnv.h"
#include "db/TDBManager.h"
#include "engine/net/ServiceTestSupport.h"
#include "net/THttpRequestService.h"

namespace {

using pushtest::kOwn;

class PushSysTest : public pushtest::PushEnv {
 protected:
  void SetUp() override {
    PushEnv::SetUp();
    LogIn();
  }
  void Sys(const std::string& type, const FakeIMServer::Params& params) {
    Push(FakeIMServer::SysPacket(kOwn, type, params));
  }
  int State() { return core->GetIMSession()->ConnState().GetState(); }
  // What the server pushes after a kick-out before the engine has handled it is the
  // ended login's and is dropped; a sync marker has to come after.
  void SyncAfter(int kickEvent) {
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(kickEvent, std::nullopt, std::chrono::seconds(60)));
    Sync();
  }
};

TEST_F(PushSysTest, KickoutsEndTheSessionOnlyForThisRegistration) {
  const std::string mine = TIMSession::GetRegistrationId();
  ASSERT_FALSE(mine.empty());
  Sys("kickout", {{"regsterid", "1234@another"}, {"reason", "elsewhere"}});
  Sys("kickout", {{"regsterid", ""}, {"reason", "nobody"}});
  Sync();
  EXPECT_EQ(Count(_EVENT_RECV_KICKOUT), 0u);
  EXPECT_EQ(State(), TIMConnState::kStateOnline);

  Sys("kickout", {{"regsterid", mine}, {"reason", "logged in elsewhere"}, {"fromregsterid", "x"}});
  SyncAfter(_EVENT_RECV_KICKOUT);
  const auto kicks = CallbackRecorder::Get().ReportsWith(_EVENT_RECV_KICKOUT);
  ASSERT_EQ(kicks.size(), 1u);
  EXPECT_EQ(kicks[0].text, "logged in elsewhere");
  EXPECT_EQ(kicks[0].a, 0);
  EXPECT_EQ(State(), TIMConnState::kStateNone);

  // The next login command brings the session back.
  CallbackRecorder::Get().Clear();
  LogIn();
  EXPECT_EQ(State(), TIMConnState::kStateOnline);
}

TEST_F(PushSysTest, SystemKickoutAndNoticeAndIgnoredKinds) {
  Sys("jlhb", {{"content", R"({"money":"8.88"})"}});
  Sys("nosuchkind", {{"content", "ignored"}});
  Push(FakeIMServer::RequestText(FakeIMServer::NewId(), "server", kOwn, "message", "other",
                                 {{"msgtype", "jlhb"}, {"content", "other kind"}}));
  Sync();
  const auto notices = CallbackRecorder::Get().ReportsWith(_EVENT_COME_JLHB);
  ASSERT_GE(notices.size(), 1u);
  EXPECT_EQ(notices[0].text, R"({"money":"8.88"})");
  for (const auto& n : notices) EXPECT_NE(n.text, "other kind");
  EXPECT_EQ(State(), TIMConnState::kStateOnline);

  Sys("syskickout", {{"content", "account frozen"}});
  SyncAfter(_EVENT_REPORT_SYSKICKOUT);
  const auto kicks = CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_SYSKICKOUT);
  ASSERT_EQ(kicks.size(), 1u);
  EXPECT_EQ(kicks[0].text, "account frozen");
  EXPECT_EQ(State(), TIMConnState::kStateNone);
}

TEST_F(PushSysTest, UpdateFriendQueuesTheFriendSynchronisation) {
  std::atomic<int> runs{0};
  ScopedExecutor sync(*core->GetRequestService(), kInternalFriendSync,
                      [&](THttpRequestService&, TAPIPacket* p) {
                        EXPECT_EQ(p->code, kInternalFriendSync);
                        ++runs;
                        return 0;
                      });
  Sys("updatefriend", {});
  Sync();
  ASSERT_TRUE(im.WaitFor([&] { return runs.load() == 1; }));
  // Internal requests are never answered through the callback.
  EXPECT_EQ(CallbackRecorder::Get().Count(kInternalFriendSync, 0), 0u);
}

TEST_F(PushSysTest, UpdateDetailStoresTheProfileAndBadContentChangesNothing) {
  for (const char* bad : {"not json", "", "5", "[1,2]", "null"})
    Sys("updatedetail", {{"content", bad}});
  Sync();
  EXPECT_EQ(Count(_EVENT_REPORT_UPDATEDETAIL), 0u);
  EXPECT_EQ(core->GetName(), "Me");

  const std::string detail =
      R"({"name":"New 'Me'","logo":"http://l","biglogo":"http://b","summary":"s","userversion":9,"champflag":1})";
  Sys("updatedetail", {{"content", detail}});
  Sync();
  const auto events = CallbackRecorder::Get().ReportsWith(_EVENT_REPORT_UPDATEDETAIL);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].text, detail);
  EXPECT_EQ(core->GetName(), "New 'Me'");
  EXPECT_EQ(core->GetBigLogo(), "http://b");
  EXPECT_EQ(core->GetVersion(), 9);
  EXPECT_EQ(core->GetChampFlag(), 1);
  TDBManager* db = core->GetDatabase();
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(db->GetSaveInfo(1, "NAME"), "New 'Me'");
  EXPECT_EQ(db->GetSaveInfo(1, "ICON"), "http://l");
  EXPECT_EQ(db->GetSaveInfo(1, "BIGICON"), "http://b");
  EXPECT_EQ(db->GetSaveInfo(1, "SUMMARY"), "s");
  EXPECT_EQ(db->GetSaveInfo(1, "VERSION"), "9");
  EXPECT_EQ(db->GetSaveInfo(1, "CHAMPFLAG"), "1");
}

class PushSysNoDatabaseTest : public PushSysTest {
 public:
  PushSysNoDatabaseTest() { m_withDatabase = false; }
};

TEST_F(PushSysNoDatabaseTest, UpdateDetailBeforeAnyDatabaseStillUpdatesTheProfile) {
  ASSERT_EQ(core->GetDatabase(), nullptr);
  Sys("updatedetail", {{"content", R"({"name":"Early","userversion":4})"}});
  Sync();
  EXPECT_EQ(Count(_EVENT_REPORT_UPDATEDETAIL), 1u);
  EXPECT_EQ(core->GetName(), "Early");
  EXPECT_EQ(core->GetVersion(), 4);
}

}  // namespace
