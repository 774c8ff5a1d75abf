// Shared set-up of the tests of one process that serves two accounts, driven
// through TAPIInterface as the program drives it, against the loopback login, user,
// IM session, history and group servers: account A has a friend with a long
// conversation and many groups whose history replies are slow; account B has
// nothing on its own servers.
#ifndef TESMO_TESTS_ENGINE_SERVICES_ACCOUNT_TEST_ENV_H
#define TESMO_TESTS_ENGINE_SERVICES_ACCOUNT_TEST_ENV_H

#include <gtest/gtest.h>
#include <json/json.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "TAPIInterface.h"
#include "engine/db/StoreTestSupport.h"
#include "fakes/FakeHttpServer.h"
#include "fakes/FakeIMServer.h"
#include "fakes/FakeIMSessionServer.h"
#include "fakes/FakeLoginServer.h"
#include "fakes/FakeSyncWorld.h"
#include "fakes/FakeUserServer.h"
#include "support/CallbackRecorder.h"

namespace accounttest {

inline constexpr char kDomain[] = "im.test";
inline constexpr char kA[] = "1001@im.test";
inline constexpr char kB[] = "2002@im.test";
inline constexpr char kPeer[] = "7001@im.test";
inline constexpr int kGroups = 24;
inline constexpr int kGroupMessages = 8;
inline constexpr int kPeerMessages = 60;
inline constexpr int kSlowMs = 40;
inline constexpr auto kWait = std::chrono::seconds(120);

// Where an account's data lands.
inline const char* const kTables[] = {"nq_message", "nq_messagenew", "nq_group", "nq_groupuser",
                                      "nq_contact"};

inline std::string GroupId(int n) { return std::to_string(500000 + n) + "@group." + kDomain; }
inline std::string Member(int n) { return std::to_string(6000 + n) + "@" + kDomain; }

inline FakeUserServer::User User(const std::string& account) {
  FakeUserServer::User u;
  u.userId = account.substr(0, account.find('@'));
  u.account = account;
  u.name = "User " + u.userId;
  u.mobile = "1390000" + u.userId;
  return u;
}

inline std::string Address(const FakeHttpServer& server) {
  return "127.0.0.1:" + std::to_string(server.Port());
}

class AccountIsolationEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    // A: a friend with a long conversation, and groups whose members talk.
    usersA.SetOwn(kA);
    usersA.AddUser(User(kA));
    usersA.AddUser(User(kPeer));
    usersA.SetFriend(kPeer);
    usersA.Mount(servers.User(), kDomain);
    worldA.SetOwn(kA);
    worldA.AddConversation(kPeer, 1000, kPeerMessages);
    for (int g = 1; g <= kGroups; ++g) {
      FakeSyncWorld::Group group;
      group.groupid = GroupId(g);
      group.groupname = "Group " + std::to_string(g);
      worldA.AddGroup(group);
      for (int m = 0; m < kGroupMessages; ++m) {
        FakeSyncWorld::Message message;
        message.id = 100000 + g * 100 + m;
        message.fromuser = Member(g % 5);
        message.fromgroup = group.groupid;
        message.touser = group.groupid;
        message.content = "group " + std::to_string(g) + " says " + std::to_string(m);
        worldA.AddMessage(message);
      }
    }
    for (int m = 0; m < 5; ++m) usersA.AddUser(User(Member(m)));
    worldA.SetDelay(FakeSyncWorld::kGroupMidPath, kSlowMs);
    worldA.SetDelay(FakeSyncWorld::kUserMidPath, kSlowMs);
    // B: an account with nothing on its servers.
    usersB.SetOwn(kB);
    usersB.AddUser(User(kB));
    usersB.Mount(userHttpB, kDomain);
    // A login goes to the user server the last login named.
    userHttpB.Handle(FakeLoginServer::kLoginPath,
                     [this](const FakeRequest&) { return FakeReply::Json(servers.LoginBody()); });
    worldB.SetOwn(kB);

    servers.SetIMPort(im.Port());
    ASSERT_TRUE(servers.Start());
    ASSERT_TRUE(worldHttpA.Start());
    ASSERT_TRUE(userHttpB.Start());
    ASSERT_TRUE(worldHttpB.Start());
    profileA = servers.GetProfile();
    profileA.servers = {{"USERSERVER", Address(servers.User())},
                        {"GROUPSERVER", Address(worldHttpA)},
                        {"IMSERVER", Address(worldHttpA)}};
    profileB = profileA;
    profileB.userId = "2002";
    profileB.ucUserId = "uc-2002";
    profileB.account = kB;
    profileB.token = "reg-token-b";
    profileB.sessionToken = "session-token-b";
    profileB.name = "Han Meimei";
    profileB.servers = {{"USERSERVER", Address(userHttpB)},
                        {"GROUPSERVER", Address(worldHttpB)},
                        {"IMSERVER", Address(worldHttpB)}};

    CallbackRecorder::Get().Clear();
    StartEngine();
  }
  // The engine bridge's start-up order; also after a Release in the same process.
  void StartEngine() {
    api.Init();
    api.SetCallBack(&CallbackRecorder::Callback);
    api.SetServerInfo("127.0.0.1", servers.Login().Port());
    api.SetDeviceType(2);
    api.Run();
  }
  void TearDown() override {
    worldA.ReleaseHeld();
    worldB.ReleaseHeld();
    api.Release();
    // The servers' threads use the models below: they end first.
    servers.Login().Stop();
    servers.User().Stop();
    worldHttpA.Stop();
    worldHttpB.Stop();
    userHttpB.Stop();
  }

  // The program's login by code, the account's database open.
  void LogIn(const FakeLoginServer::Profile& profile) {
    servers.SetProfile(profile);
    const size_t before = Count(_EVENT_LOGIN_SUCCESS);
    ASSERT_EQ(api.SetMobileLogin("13800000000", "+86", "123456", "DEVICE-1", 1), 1);
    ASSERT_EQ(api.MakeRegister(), 1);
    ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, before + 1, kWait));
    ASSERT_EQ(std::string(api.GetMyAccount()), profile.account);
  }
  // Waits for the end of a background pass (100013) reported after the first `after`
  // reports.
  bool WaitForPassEnd(size_t after) {
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
      const std::vector<RecordedReport> reports = CallbackRecorder::Get().Reports();
      for (size_t i = after; i < reports.size(); ++i)
        if (reports[i].code == _EVENT_COME_FINISHIMHISTORY) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  size_t Count(int code) { return CallbackRecorder::Get().ReportsWith(code).size(); }
  std::string One(const std::string& sql) { return storetest::SelectOne(api, sql); }
  std::map<std::string, int> Rows() {
    std::map<std::string, int> rows;
    for (const char* table : kTables)
      rows[table] = std::stoi(One(std::string("select count(*) from ") + table));
    return rows;
  }
  std::string File(const char* name) { return dir.File(name); }

  FakeLoginServer servers;
  FakeUserServer usersA;
  FakeHttpServer worldHttpA;
  FakeSyncWorld worldA{worldHttpA};
  FakeUserServer usersB;
  FakeHttpServer userHttpB;
  FakeHttpServer worldHttpB;
  FakeSyncWorld worldB{worldHttpB};
  FakeIMSessionServer im;
  FakeLoginServer::Profile profileA;
  FakeLoginServer::Profile profileB;
  storetest::TempDir dir;
  TAPIInterface api;
};

}  // namespace accounttest

#endif
