// Pushes belong to the login they arrived under. What the IM channel had received
// when that login ended (a logout, a kick-out, another database opened), queued for
// the push dispatch, in the hands of the push handler or waiting for the database
// lock, stores nothing and raises nothing, whichever database is open afterwards;
// the next login's pushes are stored and told as ever. Also the other way round:
// the second account's pushes never reach the first account's file after a switch
// back.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

#include "base/TBaseMutex.h"
#include "db/TDatabaseLock.h"
#include "engine/net/PushTestEnv.h"
#include "net/TIMChannel.h"
#include "net/TIMPacket.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageService.h"

namespace {

using pushtest::kOwn;
constexpr char kPeer[] = "5@d.test";
constexpr char kGroup[] = "7@group.d.test";
constexpr char kNewGroup[] = "9@group.d.test";
// Holds the dispatch before the push is handed over (still queued) ...
constexpr char kHoldQueued[] = "hold-queued";
// ... or in the push handler (being handled).
constexpr char kHoldHandled[] = "hold-handled";
// Every push of the ended login carries one of these.
constexpr char kLate[] = "after the cut";
constexpr char kGhost[] = "Ghost";
constexpr auto kWait = std::chrono::seconds(60);

// Holds the dispatch thread at each push that carries a hold mark, until the test
// releases that hold.
class Gate {
 public:
  static Gate& Get() {
    static Gate gate;
    return gate;
  }
  void Hold() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const int mine = ++m_held;
    m_cond.notify_all();
    m_cond.wait(lock, [&] { return m_released >= mine; });
  }
  bool WaitHeld(int count) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_cond.wait_for(lock, kWait, [&] { return m_held >= count; });
  }
  void Release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_released;
    m_cond.notify_all();
  }
  void Reset(bool open) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_held = 0;
    m_released = open ? 1 << 30 : 0;
    m_cond.notify_all();
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cond;
  int m_held = 0;
  int m_released = 0;
};

void HoldingPushHandler(TIMSession& session, const TIMPacket& packet) {
  if (packet.GetParam("content").find(kHoldHandled) != std::string::npos) Gate::Get().Hold();
  TMessageService::OnImPush(session, packet);
}

enum class Cut { kLogout, kKickOut, kNone };
// kAtTheLock: past every check before the database lock, waiting for it.
enum class Held { kQueued, kHandled, kAtTheLock };

struct Case {
  const char* name;
  bool secondAccountFirst;  // the held pushes are the second account's, A's file next
  Cut cut;
  Held held;
  bool otherFile;  // another file is opened after the cut
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class PushIsolationTest : public pushtest::PushEnv, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    Gate::Get().Reset(false);
    PushEnv::SetUp();
    users.AddUser(pushtest::User("5"));
    core->GetIMSession()->SetPushHandler(&HoldingPushHandler);
    core->GetIMSession()->Channel()->SetHook(
        [](const std::string& text, const std::string&, int, int direction) {
          if (direction == 1 && text.find(kHoldQueued) != std::string::npos) Gate::Get().Hold();
        });
    LogIn();
  }
  void TearDown() override {
    Gate::Get().Reset(true);
    if (TIMChannel* channel = core->GetIMSession()->Channel()) channel->SetHook(nullptr);
    PushEnv::TearDown();
  }

  void LogInAgain() {
    const size_t before = Count(_EVENT_LOGIN_SUCCESS);
    ASSERT_EQ(api.MakeRegister(), 1);
    ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, before + 1, kWait));
  }
  void Open(const std::string& file) { ASSERT_EQ(api.SetDatabase(file.c_str()), 2); }
  // A push of the live login, stored and told.
  void Live(long long msgid) {
    Push(Chat(kPeer, kOwn, "msg", msgid, "live " + std::to_string(msgid)));
    Sync();
    ASSERT_EQ(Rows("msgid=" + std::to_string(msgid)), 1);
  }
  // True once another thread holds the message insert lock: a received message is
  // about to take the database lock next.
  static bool WaitInsertLockTaken() {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!MessageInsertLock().TryLock()) return true;
      MessageInsertLock().Unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  bool WaitQueued(size_t count) {
    return WaitQueue([&](size_t queued) { return queued >= count; });
  }
  // The dispatch handles one push at a time: the ones no longer queued, but the
  // last, are handled.
  bool WaitQueuedAtMost(size_t count) {
    return WaitQueue([&](size_t queued) { return queued <= count; });
  }
  template <typename Done>
  bool WaitQueue(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
      if (done(core->GetIMSession()->Channel()->QueuedCount())) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  // What the ended login had received: a chat message, a group message, a group
  // notice that would add a group, and a profile change.
  void PushLate() {
    Push(Chat(kPeer, kOwn, "msg", 202, std::string(kLate) + " 1"));
    Push(Chat(kPeer, kGroup, "msg", 203, std::string(kLate) + " 2", {{"fromgroup", kGroup}}));
    const std::string join = std::string(R"({"notify":"join","userid":")") + kOwn +
                             R"(","nick":"Ghost","membercount":2,"groupname":"Ghost group"})";
    Push(Chat(kPeer, kNewGroup, "groupnotify", 204, join, {{"fromgroup", kNewGroup}}));
    Push(FakeIMServer::SysPacket(kOwn, "updatedetail",
                                 {{"content", R"({"name":"Ghost","userversion":8})"}}));
  }
  // Nothing of the ended login's pushes in the open file.
  void ExpectNoLatePushes(const std::string& file) {
    EXPECT_EQ(Rows("msgid between 201 and 204"), 0) << file;
    EXPECT_EQ(
        SelectOne(std::string("select count(*) from nq_group where groupid='") + kNewGroup + "'"),
        "0")
        << file;
    EXPECT_EQ(SelectOne(std::string("select count(*) from nq_groupuser where groupid='") +
                        kNewGroup + "'"),
              "0")
        << file;
    EXPECT_EQ(SelectOne("select count(*) from nq_saveinfo where Content='Ghost'"), "0") << file;
  }

  std::string m_fileA = dir.File("tesChat.db");
  std::string m_fileB = dir.File("b.db");
};

TEST_P(PushIsolationTest, PushesOfAnEndedLoginStoreNothing) {
  const Case& c = GetParam();
  Live(100);
  std::string first = m_fileA;
  std::string next = c.otherFile ? m_fileB : m_fileA;
  if (c.secondAccountFirst) {
    // A logs out, B's file is opened and B logs in; A's file comes next.
    ASSERT_EQ(api.MakeUnRegister(), 1);
    Open(m_fileB);
    ASSERT_NO_FATAL_FAILURE(LogInAgain());
    Live(110);
    first = m_fileB;
    next = m_fileA;
  }
  const char* mark = c.held == Held::kQueued ? kHoldQueued : kHoldHandled;
  const std::string held = std::string(mark) + " " + kLate;
  if (c.cut == Cut::kKickOut) {
    // Everything is received before the kick-out is handled; the dispatch is held
    // again at the first push after it.
    Push(Chat(kPeer, kOwn, "msg", 150, std::string(kHoldQueued) + " live"));
    ASSERT_TRUE(Gate::Get().WaitHeld(1));
    Push(FakeIMServer::SysPacket(
        kOwn, "kickout", {{"regsterid", TIMSession::GetRegistrationId()}, {"reason", "x"}}));
    Push(Chat(kPeer, kOwn, "msg", 201, held));
    PushLate();
    ASSERT_TRUE(WaitQueued(6));
    Gate::Get().Release();
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RECV_KICKOUT, std::nullopt, kWait));
  } else {
    Push(Chat(kPeer, kOwn, "msg", 201, held));
    PushLate();
    ASSERT_TRUE(WaitQueued(4));
  }
  ASSERT_TRUE(Gate::Get().WaitHeld(c.cut == Cut::kKickOut ? 2 : 1));

  if (c.held == Held::kAtTheLock) {
    // The login ends while the push waits for the database.
    {
      std::unique_lock<TBaseMutex> dbLock(DatabaseMutex());
      Gate::Get().Release();
      ASSERT_TRUE(WaitInsertLockTaken());
      ASSERT_EQ(api.MakeUnRegister(), 1);
    }
    // The push had its chance at the file of its own login.
    ASSERT_TRUE(WaitQueuedAtMost(0));
    if (next != first) Open(next);
  } else {
    if (c.cut == Cut::kLogout) {
      ASSERT_EQ(api.MakeUnRegister(), 1);
    }
    if (next != first) Open(next);
    Gate::Get().Release();
  }
  if (c.cut != Cut::kNone) {
    ASSERT_NO_FATAL_FAILURE(LogInAgain());
  }
  // The next login's pushes are stored and told as ever.
  Live(300);
  size_t told = 0;
  for (const RecordedReport& r : CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE))
    if (r.text.find("live 300") != std::string::npos) ++told;
  EXPECT_EQ(told, 1u);

  ExpectNoLatePushes(next);
  for (const RecordedReport& r : CallbackRecorder::Get().Reports()) {
    EXPECT_EQ(r.text.find(kLate), std::string::npos) << r.code << " " << r.text;
    EXPECT_EQ(r.text.find(kGhost), std::string::npos) << r.code << " " << r.text;
  }
  EXPECT_EQ(core->GetName(), "Me");
  if (c.cut == Cut::kKickOut) {
    EXPECT_EQ(Rows("msgid=150"), next == first ? 1 : 0);
  }

  // The file of the ended login holds what it held, and nothing of the late pushes.
  if (next != first) {
    Open(first);
    ExpectNoLatePushes(first);
    EXPECT_EQ(Rows(c.secondAccountFirst ? "msgid=110" : "msgid=100"), 1);
    if (c.cut == Cut::kKickOut) {
      EXPECT_EQ(Rows("msgid=150"), 1);
    }
  }
  if (c.secondAccountFirst) {
    Open(m_fileA);
    EXPECT_EQ(Rows("msgid=100"), 1);
    EXPECT_EQ(Rows("msgid=110"), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, PushIsolationTest,
    ::testing::Values(
        Case{"LogoutWhileQueuedThenAnotherFile", false, Cut::kLogout, Held::kQueued, true},
        Case{"LogoutWhileHandledThenAnotherFile", false, Cut::kLogout, Held::kHandled, true},
        Case{"KickOutThenAnotherFile", false, Cut::kKickOut, Held::kQueued, true},
        Case{"AnotherFileWhileHandled", false, Cut::kNone, Held::kHandled, true},
        Case{"AnotherFileWhileQueued", false, Cut::kNone, Held::kQueued, true},
        Case{"LogoutWhileQueuedSameFile", false, Cut::kLogout, Held::kQueued, false},
        Case{"LogoutAtTheDatabaseLockSameFile", false, Cut::kLogout, Held::kAtTheLock, false},
        Case{"SwitchBackWhileAtTheDatabaseLock", true, Cut::kLogout, Held::kAtTheLock, true},
        Case{"KickOutSameFile", false, Cut::kKickOut, Held::kQueued, false},
        Case{"SwitchBackAfterLogoutWhileHandled", true, Cut::kLogout, Held::kHandled, true},
        Case{"SwitchBackWhileQueued", true, Cut::kNone, Held::kQueued, true}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
