// A burst of a few thousand chat pushes over a lossy link, with the server resending
// what was not answered and repeating some messages under new packet ids: every
// message is stored exactly once, announced once, and each conversation reads in
// order with its row pointing at its newest message.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/net/PushTestEnv.h"

namespace {

using pushtest::kOwn;

constexpr int kMessages = 3000;
constexpr double kLoss = 0.10;

std::string TimeOf(int i) {
  char text[32];
  snprintf(text, sizeof(text), "2026-05-01 %02d:%02d:%02d", 8 + i / 3600, (i / 60) % 60, i % 60);
  return text;
}

class PushFloodTest : public pushtest::PushEnv {};

TEST_F(PushFloodTest, EveryDeliveredMessageIsStoredOnceInOrderPerConversation) {
  LogIn();
  const std::vector<std::string> conversations = {
      "31@d.test", "32@d.test", "33@d.test", "34@d.test", "41@group.d.test", "42@group.d.test"};
  std::map<std::string, std::vector<long long>> expected;
  std::vector<std::string> pushes;
  for (int i = 0; i < kMessages; ++i) {
    const std::string& conversation = conversations[i % conversations.size()];
    const bool group = conversation.find("group.") != std::string::npos;
    const std::string from = group ? "3" + std::to_string(1 + i % 4) + "@d.test" : conversation;
    const std::string to = group ? conversation : kOwn;
    const long long msgid = 100000 + i;
    FakeIMServer::Params extra = {{"curtime", TimeOf(i)}};
    if (group) extra.push_back({"fromgroup", conversation});
    pushes.push_back(Chat(from, to, "msg", msgid, "m" + std::to_string(i), extra));
    expected[conversation].push_back(msgid);
    // The server repeats every tenth message under a new packet id.
    if (i % 10 == 0) pushes.push_back(Chat(from, to, "msg", msgid, "m" + std::to_string(i), extra));
  }

  im.Server().SetLoss(kLoss, 20261210);
  for (const std::string& p : pushes) Push(p);
  // Resend what was not answered, as the server does, until everything was.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  while (im.Server().UnackedCount() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    im.Server().ResendUnacked();
  }
  ASSERT_EQ(im.Server().UnackedCount(), 0u);
  im.Server().SetLoss(0, 0);
  size_t lost = 0;
  for (const auto& r : im.Server().Sent()) lost += r.dropped ? 1 : 0;
  EXPECT_GT(lost, static_cast<size_t>(kMessages / 20));  // the link really was lossy
  Sync();

  EXPECT_EQ(SelectOne("select count(*) from nq_message"), std::to_string(kMessages));
  EXPECT_EQ(SelectOne("select count(*) from (select msgid from nq_message group by msgid "
                      "having count(*)>1)"),
            "0");
  const auto events = CallbackRecorder::Get().ReportsWith(_EVENT_COME_IMMESSAGE);
  std::set<int> ids;
  for (const auto& e : events) ids.insert(e.id);
  EXPECT_EQ(events.size(), static_cast<size_t>(kMessages));
  EXPECT_EQ(ids.size(), static_cast<size_t>(kMessages));

  for (const auto& [conversation, msgids] : expected) {
    SCOPED_TRACE(conversation);
    const bool group = conversation.find("group.") != std::string::npos;
    const std::string where = group
                                  ? "touser=" + storetest::Quote(conversation)
                                  : "fromuser=" + storetest::Quote(conversation) + " and totype=0";
    std::vector<long long> stored;
    for (const auto& row :
         Select("select msgid from nq_message where " + where + " order by sendtime,id"))
      stored.push_back(std::stoll(row[0]));
    EXPECT_EQ(stored, msgids);
    // Late arrivals after a loss never replace the newest message of the row.
    EXPECT_EQ(SelectOne("select m.msgid from nq_messagenew n join nq_message m on m.id=n.msgid "
                        "where n.account=" +
                        storetest::Quote(conversation)),
              std::to_string(msgids.back()));
  }
}

}  // namespace
