// Sends and a recall already posted when the program opens another account's file:
// the server took them, so their rows must say so in their own file once it is open
// again, not "failed" (a resend would deliver them twice). A send that never went
// out is still failed, and nothing of them lands in the other file.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "engine/services/send_test_env.h"

namespace {

using sendtest::kGroup;
using sendtest::kPeer;

class SendSwitchTest : public sendtest::SendEnv {
 protected:
  // Holds each accepted message's answer while `holding` is set.
  void HoldAnswers(Gate* gate) {
    im.SetAcceptHook([this, gate](const FakeImHttpPaths::Message&, const FakeRequest&) {
      if (holding) gate->Enter();
    });
  }
  // Returns once every request worker has finished what it took before: each of
  // them is held by one of four GETs queued after it.
  void DrainWorkers(int firstId) {
    Gate barrier;
    http.Handle("/barrier", [&](const FakeRequest&) {
      barrier.Enter();
      return FakeReply::Json("{}");
    });
    const std::string url = http.Url("/barrier");
    for (int i = 0; i < 4; ++i) api.SendGet(firstId + i, url.c_str());
    EXPECT_TRUE(barrier.WaitInside(4));
    barrier.Open();
    for (int i = 0; i < 4; ++i) Reply(_REQUEST_HTTP_SENDGET, firstId + i);
  }
  std::string Count(const std::string& where) {
    return storetest::SelectOne(api, "select count(*) from nq_message where " + where);
  }

  std::atomic<bool> holding{false};
};

TEST_F(SendSwitchTest, PostedSendsAndRecallsGetTheirAnswerInTheirOwnFile) {
  const struct {
    const char* name;
    bool answerBeforeReopen;  // else the file is open again while the posts are out
  } rows[] = {{"answered while the other file is open", true},
              {"answered after the file is open again", false}};
  int round = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ++round;
    // Local ids start again in every file.
    CallbackRecorder::Get().Clear();
    const std::string a = dir.File("a" + std::to_string(round) + ".db");
    const std::string b = dir.File("b" + std::to_string(round) + ".db");
    ASSERT_EQ(api.SetDatabase(a.c_str()), 2);

    const int earlier = api.SendMsgIM(kPeer, 0, "said before", "{}");
    ASSERT_EQ(Reply(_REQUEST_HTTP_SENDMSGIM, earlier).a, 0);

    // Three sends and a recall reach the server; their answers wait. A fourth send
    // waits for a worker.
    Gate held;
    HoldAnswers(&held);
    holding = true;
    const std::vector<int> posted = {api.SendMsgIM(kPeer, 0, "one", "{}"),
                                     api.SendMsgIM(kGroup, 0, "two", "{}"),
                                     api.SendMsgIM(kPeer, 0, "three", "{}")};
    ASSERT_EQ(api.RevokeMsg(earlier), earlier);
    ASSERT_TRUE(held.WaitInside(4));
    const int never = api.SendMsgIM(kPeer, 0, "never", "{}");

    ASSERT_EQ(api.SetDatabase(b.c_str()), 2);
    if (row.answerBeforeReopen) {
      holding = false;
      held.Open();
      DrainWorkers(1000 * round);
      EXPECT_EQ(Count("1=1"), "0") << "the other file";
      ASSERT_EQ(api.SetDatabase(a.c_str()), 2);
    } else {
      ASSERT_EQ(api.SetDatabase(a.c_str()), 2);
      // Out, answer unknown: neither sent nor failed yet.
      for (int id : posted) EXPECT_EQ(Column(id, "sendstate"), "2") << id;
      holding = false;
      held.Open();
      DrainWorkers(1000 * round);
    }

    for (int id : posted) {
      SCOPED_TRACE(id);
      EXPECT_EQ(Column(id, "sendstate"), "1");
      EXPECT_NE(Column(id, "msgid"), "0");
    }
    EXPECT_EQ(Column(never, "sendstate"), "0");
    EXPECT_EQ(Column(earlier, "revokeflag"), "1");
    EXPECT_EQ(Count("msgtype=9 and content='" + std::to_string(earlier) + "' and sendstate=1"),
              "1");
    // The messages went out once each, the one that waited not at all.
    EXPECT_EQ(im.Messages().size(), static_cast<size_t>(5 * round));
    ASSERT_EQ(api.SetDatabase(b.c_str()), 2);
    EXPECT_EQ(Count("1=1"), "0") << "the other file";
    im.SetAcceptHook(nullptr);
  }
}

}  // namespace
