// Sends while other threads insert message rows: every send stores, answers and
// marks its own row, never one inserted by someone else in between.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/services/send_test_env.h"

namespace {

using sendtest::kPeer;
using SendRaceTest = sendtest::SendEnv;

TEST_F(SendRaceTest, FiftySendsRacingBatchInsertsEachMarkTheirOwnRow) {
  constexpr int kSends = 50;
  std::atomic<bool> done{false};
  std::vector<std::thread> inserters;
  for (int t = 0; t < 2; ++t) {
    inserters.emplace_back([&, t] {
      int n = 0;
      while (!done) {
        // Rows that look like sent ones, as the history download stores them.
        std::string batch =
            "insert into nq_message(msgtype,fromuser,touser,content,sendflag,sendstate) values";
        for (int i = 0; i < 3; ++i)
          batch += std::string(i ? "," : "") + "(0,'1001@tesmo.x','2002@tesmo.x','other " +
                   std::to_string(t) + "-" + std::to_string(n++) + "',1,0)";
        EXPECT_EQ(api.DBExecSql(batch.c_str()), 1);
      }
    });
  }
  std::map<int, std::string> sentById;
  for (int i = 0; i < kSends; ++i) {
    std::string text = "mine " + std::to_string(i);
    int id = api.SendMsgIM(kPeer, 0, text.c_str(), "{}");
    ASSERT_GT(id, 0);
    EXPECT_TRUE(sentById.emplace(id, text).second) << "id " << id << " returned twice";
  }
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_REQUEST_HTTP_SENDMSGIM, kSends,
                                                   std::chrono::seconds(120)));
  done = true;
  for (std::thread& t : inserters) t.join();

  std::map<std::string, int64_t> msgidByText;
  for (const auto& m : im.Messages()) msgidByText[m.content] = m.answeredMsgid;
  ASSERT_EQ(msgidByText.size(), static_cast<size_t>(kSends));

  std::set<int> answered;
  for (const auto& r : CallbackRecorder::Get().ReportsWith(_REQUEST_HTTP_SENDMSGIM)) {
    EXPECT_EQ(r.a, 0) << r.id;
    EXPECT_TRUE(answered.insert(r.id).second) << "answered twice: " << r.id;
  }
  for (const auto& [id, text] : sentById) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(answered.count(id));
    EXPECT_EQ(Column(id, "content"), text);
    EXPECT_EQ(Column(id, "sendstate"), "1");
    EXPECT_EQ(Column(id, "msgid"), std::to_string(msgidByText[text]));
  }
  // Nobody else's row was marked.
  EXPECT_EQ(storetest::SelectOne(api,
                                 "select count(*) from nq_message where content like "
                                 "'other%' and (sendstate<>0 or msgid<>0)"),
            "0");
  EXPECT_NE(storetest::SelectOne(api,
                                 "select count(*) from nq_message where content like "
                                 "'other%'"),
            "0");
}

}  // namespace
