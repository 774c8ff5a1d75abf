// The details of unknown message senders are fetched on the request workers. A
// Release ends the fetches that were queued or under way; after a new Init and Run
// in the same process, on the same file, a sender the cache does not know is
// fetched again as ever.
#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>

#include "engine/net/PushTestEnv.h"
#include "engine/net/ServiceTestSupport.h"

namespace {

using pushtest::kOwn;
constexpr char kBusyPath[] = "/busy";
constexpr char kHeldSender[] = "61@d.test";
constexpr char kNextSender[] = "62@d.test";
constexpr int kWorkers = 4;

enum class Fetch {
  kQueued,    // behind requests that hold every worker
  kUnderWay,  // the user server takes the request and does not answer
};

struct Case {
  const char* name;
  Fetch fetch;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class SenderReleaseTest : public pushtest::PushEnv, public ::testing::WithParamInterface<Case> {
 protected:
  void SetUp() override {
    PushEnv::SetUp();
    http.Handle(kBusyPath, [](const FakeRequest&) {
      FakeReply reply = FakeReply::Json("{}");
      reply.stall = true;
      return reply;
    });
    // The held sender's details never come; any other sender is unknown to the server.
    http.Handle(FakeUserServer::kDetailPath, [](const FakeRequest& request) {
      FakeReply reply = FakeReply::Json(R"({"code":-1,"msg":"unknown","result":{}})");
      reply.stall = request.body.find(kHeldSender) != std::string::npos;
      return reply;
    });
    ASSERT_NO_FATAL_FAILURE(LogIn());
  }
  size_t DetailAsks(const std::string& sender) {
    size_t asks = 0;
    for (const FakeRequest& r : http.Requests(FakeUserServer::kDetailPath))
      asks += r.body.find(sender) != std::string::npos ? 1 : 0;
    return asks;
  }
};

TEST_P(SenderReleaseTest, SendersAreFetchedAgainAfterReleaseAndANewRun) {
  const Case& c = GetParam();
  if (c.fetch == Fetch::kQueued) {
    for (int i = 0; i < kWorkers; ++i) api.SendGet(100 + i, http.Url(kBusyPath).c_str());
    ASSERT_TRUE(WaitUntil([&] { return http.Requests(kBusyPath).size() == kWorkers; }));
  }
  Push(Chat(kHeldSender, kOwn, "msg", 7001, "who am I"));
  ASSERT_NO_FATAL_FAILURE(Sync());
  ASSERT_EQ(Rows("msgid=7001"), 1);
  if (c.fetch == Fetch::kUnderWay) {
    ASSERT_TRUE(WaitUntil([&] { return DetailAsks(kHeldSender) == 1; }));
  } else {
    EXPECT_EQ(DetailAsks(kHeldSender), 0u);
  }

  api.Release();
  ASSERT_NO_FATAL_FAILURE(StartEngine(true));
  api.MakeRegister();
  ASSERT_TRUE(CallbackRecorder::Get().WaitForCount(_EVENT_LOGIN_SUCCESS, 2));

  Push(Chat(kNextSender, kOwn, "msg", 7002, "and me"));
  ASSERT_NO_FATAL_FAILURE(Sync());
  ASSERT_EQ(Rows("msgid=7002"), 1);
  EXPECT_TRUE(WaitUntil([&] { return DetailAsks(kNextSender) == 1; }))
      << "the new run never asked for the sender's details";
}

INSTANTIATE_TEST_SUITE_P(Fetches, SenderReleaseTest,
                         ::testing::Values(Case{"QueuedBehindBusyWorkers", Fetch::kQueued},
                                           Case{"UnderWay", Fetch::kUnderWay}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
