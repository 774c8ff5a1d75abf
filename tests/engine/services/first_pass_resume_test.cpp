// An account's first background pass that is cut short (a logout or a kick-out and
// another account's file, or a Release and a new run) leaves nothing saying it was
// done: at the account's next login the first download runs again, and once that
// pass ends every group with history on the server has it stored, as after a pass
// that was never cut.
#include <gtest/gtest.h>
#include <json/json.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "db/TDBManager.h"
#include "engine/services/account_test_env.h"

namespace {

using accounttest::AccountIsolationEnv;
using accounttest::GroupId;
using accounttest::kA;
using accounttest::kGroupMessages;
using accounttest::kGroups;
using accounttest::kPeer;
using accounttest::kPeerMessages;
using accounttest::kWait;
using accounttest::Member;

// Groups whose history comes before the pass is cut; the next one stays in flight.
constexpr size_t kGroupsBeforeCut = 3;
// The first download takes the newest page of one-to-one messages.
constexpr char kFirstPersonPage[] = "30";
constexpr char kCutPassTime[] = "2024-05-01 08:00:00";

enum class Cut {
  kNone,
  kLogoutAndSwitch,   // a logout, another account's file and login, then A's again
  kKickOutAndSwitch,  // the same after a kick-out
  kReleaseAndRun,     // Release, a new Init and Run, the same file, a new login
};

struct Case {
  const char* name;
  Cut cut;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class FirstPassEnv : public AccountIsolationEnv {
 protected:
  // Stored group rows by group.
  std::map<std::string, int> GroupRows() {
    std::map<std::string, int> rows;
    for (const auto& row : storetest::Select(
             api, "select touser,count(*) from nq_message where totype=1 group by touser"))
      rows[row[0]] = std::stoi(row[1]);
    return rows;
  }
  std::string SaveInfo(int type, const std::string& key) {
    return api.GetDatabaseManager()->GetSaveInfo(type, key);
  }
  void KickOut() {
    const std::vector<Json::Value> logins = im.LoginPackets();
    ASSERT_FALSE(logins.empty());
    im.Server().Push(FakeIMServer::SysPacket(
        kA, "kickout", {{"regsterid", logins.back()["transid"].asString()}, {"reason", "x"}}));
    ASSERT_TRUE(CallbackRecorder::Get().WaitFor(_EVENT_RECV_KICKOUT, std::nullopt, kWait));
  }
  // A's download is in flight while the program opens B's file and B logs in and
  // out; then A's file is opened again.
  void SwitchToBAndBack() {
    ASSERT_EQ(api.SetDatabase(File("b.db").c_str()), 2);
    worldA.ReleaseHeld();
    const size_t reports = CallbackRecorder::Get().Reports().size();
    ASSERT_NO_FATAL_FAILURE(LogIn(profileB));
    ASSERT_TRUE(WaitForPassEnd(reports));
    ASSERT_EQ(api.MakeUnRegister(), 1);
    ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  }
  // A's first pass, cut once the first kGroupsBeforeCut groups have their history.
  void CutFirstPass(Cut cut) {
    ASSERT_TRUE(worldA.WaitHeld(1, 60000));
    ASSERT_EQ(GroupRows().size(), kGroupsBeforeCut);
    switch (cut) {
      case Cut::kLogoutAndSwitch:
        ASSERT_EQ(api.MakeUnRegister(), 1);
        ASSERT_NO_FATAL_FAILURE(SwitchToBAndBack());
        break;
      case Cut::kKickOutAndSwitch:
        ASSERT_NO_FATAL_FAILURE(KickOut());
        ASSERT_NO_FATAL_FAILURE(SwitchToBAndBack());
        break;
      case Cut::kReleaseAndRun:
        api.Release();
        worldA.ReleaseHeld();
        ASSERT_NO_FATAL_FAILURE(StartEngine());
        // The facade kept the file across the release.
        ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 1);
        break;
      case Cut::kNone:
        break;
    }
  }
};

class FirstPassResumeTest : public FirstPassEnv, public ::testing::WithParamInterface<Case> {};

TEST_P(FirstPassResumeTest, EveryGroupHasItsHistoryOnceTheNextPassEnds) {
  const Case& c = GetParam();
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  if (c.cut != Cut::kNone) worldA.HoldAfter(FakeSyncWorld::kGroupMidPath, kGroupsBeforeCut);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));

  size_t reports = 0;
  if (c.cut != Cut::kNone) {
    ASSERT_NO_FATAL_FAILURE(CutFirstPass(c.cut));
    // Nothing says the cut pass was done: no first-pass marks, and no group the pass
    // did not reach has a last message id.
    EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "");
    EXPECT_EQ(SaveInfo(2, "FIRSTDOWNGROUPMSGID"), "");
    const std::map<std::string, int> reached = GroupRows();
    EXPECT_EQ(reached.size(), kGroupsBeforeCut);
    for (int g = 1; g <= kGroups; ++g) {
      if (!reached.count(GroupId(g))) {
        EXPECT_EQ(SaveInfo(2, GroupId(g)), "") << GroupId(g);
      }
    }
    // The one-to-one history starts from the cut pass's time, here long ago; the
    // pass run again keeps it.
    ASSERT_NE(SaveInfo(3, "logintime"), "");
    api.GetDatabaseManager()->SetSaveInfo(3, "logintime", kCutPassTime);
    reports = CallbackRecorder::Get().Reports().size();
    ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  }
  ASSERT_TRUE(WaitForPassEnd(reports));

  std::map<std::string, int> expected;
  for (int g = 1; g <= kGroups; ++g) expected[GroupId(g)] = kGroupMessages;
  EXPECT_EQ(GroupRows(), expected);
  EXPECT_EQ(One("select count(*) from nq_message where totype=0"), kFirstPersonPage);
  // Done now: the next passes start each group from its newest message.
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "1");
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNGROUPMSGID"), "1");
  if (c.cut != Cut::kNone) {
    EXPECT_EQ(SaveInfo(3, "logintime"), kCutPassTime);
  }
  for (int g = 1; g <= kGroups; ++g) {
    EXPECT_EQ(SaveInfo(2, GroupId(g)), std::to_string(100000 + g * 100 + kGroupMessages - 1))
        << GroupId(g);
  }
}

// A first pass that ends with one group's download failed marks itself done, but
// gives that group no last message id: the next pass fetches it as a group with
// newer messages.
TEST_F(FirstPassEnv, AGroupWhoseFirstDownloadFailedIsFetchedByTheNextPass) {
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  // The groups are fetched highest id first: the first one's reply is an error.
  const std::string failed = GroupId(kGroups);
  worldA.ScriptNext(FakeSyncWorld::kGroupMidPath, FakeReply::Text(500, "busy"));
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(0));
  const std::map<std::string, int> first = GroupRows();
  EXPECT_EQ(first.size(), static_cast<size_t>(kGroups - 1));
  EXPECT_EQ(first.count(failed), 0u);
  EXPECT_EQ(SaveInfo(2, failed), "");
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "1");

  ASSERT_EQ(api.MakeUnRegister(), 1);
  const size_t reports = CallbackRecorder::Get().Reports().size();
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(reports));
  std::map<std::string, int> expected;
  for (int g = 1; g <= kGroups; ++g) expected[GroupId(g)] = kGroupMessages;
  EXPECT_EQ(GroupRows(), expected);
  EXPECT_EQ(SaveInfo(2, failed), std::to_string(100000 + kGroups * 100 + kGroupMessages - 1));
}

// A first pass whose one-to-one newest page failed does not mark itself done: later
// passes only ask for what came after the login, so that page would never come. The
// next login's pass fetches it and then marks the first download done.
TEST_F(FirstPassEnv, AOneToOneFirstPageThatFailedIsFetchedByTheNextPass) {
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  worldA.ScriptNext(FakeSyncWorld::kUserMidPath, FakeReply::Text(500, "busy"));
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(0));
  EXPECT_EQ(One("select count(*) from nq_message where totype=0"), "0");
  EXPECT_EQ(GroupRows().size(), static_cast<size_t>(kGroups));
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "");

  ASSERT_EQ(api.MakeUnRegister(), 1);
  const size_t reports = CallbackRecorder::Get().Reports().size();
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(reports));
  EXPECT_EQ(One("select count(*) from nq_message where totype=0"), kFirstPersonPage);
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "1");
  // The groups were stored once.
  std::map<std::string, int> expected;
  for (int g = 1; g <= kGroups; ++g) expected[GroupId(g)] = kGroupMessages;
  EXPECT_EQ(GroupRows(), expected);
}

// What came after the cut to a conversation the cut pass had reached (more than a
// newest page) is stored by the pass run again, as a later pass after an uncut one
// would store it: that conversation goes on from its last id.
class FirstPassCutTest : public FirstPassEnv, public ::testing::WithParamInterface<Case> {};

TEST_P(FirstPassCutTest, WhatCameAfterTheCutToAReachedConversationIsStored) {
  const Case& c = GetParam();
  ASSERT_EQ(api.SetDatabase(File("a.db").c_str()), 2);
  worldA.HoldAfter(FakeSyncWorld::kGroupMidPath, kGroupsBeforeCut);
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_NO_FATAL_FAILURE(CutFirstPass(c.cut));
  // The groups are fetched highest id first: the last group was reached.
  const std::string reached = GroupId(kGroups);
  ASSERT_EQ(GroupRows().count(reached), 1u);
  ASSERT_NE(SaveInfo(2, "PERSON"), "");
  // The cut pass was long ago; the messages below came after it.
  api.GetDatabaseManager()->SetSaveInfo(3, "logintime", kCutPassTime);

  constexpr int kLater = 40;  // more than the newest page of a first download
  worldA.AddConversation(kPeer, 1000 + kPeerMessages, kLater, "2024-06-02 08:00:00");
  for (int m = 0; m < kLater; ++m) {
    FakeSyncWorld::Message message;
    message.id = 200000 + m;
    message.fromuser = Member(1);
    message.fromgroup = reached;
    message.touser = reached;
    message.content = "later " + std::to_string(m);
    worldA.AddMessage(message);
  }
  const size_t reports = CallbackRecorder::Get().Reports().size();
  ASSERT_NO_FATAL_FAILURE(LogIn(profileA));
  ASSERT_TRUE(WaitForPassEnd(reports));

  EXPECT_EQ(GroupRows()[reached], kGroupMessages + kLater);
  EXPECT_EQ(One("select count(*) from nq_message where totype=0 and msgid>=" +
                std::to_string(1000 + kPeerMessages)),
            std::to_string(kLater));
  EXPECT_EQ(SaveInfo(2, reached), std::to_string(200000 + kLater - 1));
  EXPECT_EQ(SaveInfo(2, "FIRSTDOWNIM"), "1");
}

const Case kCuts[] = {{"LogoutAndAnotherAccount", Cut::kLogoutAndSwitch},
                      {"KickOutAndAnotherAccount", Cut::kKickOutAndSwitch},
                      {"ReleaseAndNewRun", Cut::kReleaseAndRun}};

std::string CaseName(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Cuts, FirstPassResumeTest,
                         ::testing::Values(Case{"Uncut", Cut::kNone}, kCuts[0], kCuts[1], kCuts[2]),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Cuts, FirstPassCutTest, ::testing::ValuesIn(kCuts), CaseName);

}  // namespace
