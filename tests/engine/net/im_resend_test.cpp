// The resend wheel, driven tick by tick: when an unanswered request is resent and
// dropped, what an answer changes, pool exhaustion, key reuse, the wrap, and the
// tick thread itself.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/TTSResendCtrl.h"

namespace {

struct SendLog {
  std::mutex mutex;
  std::vector<std::string> texts;
  TTSResendCtrl::SendFunction Function() {
    return [this](const std::string& text, const std::string& host, int port) {
      std::lock_guard<std::mutex> lock(mutex);
      texts.push_back(text + "|" + host + ":" + std::to_string(port));
    };
  }
  size_t Size() {
    std::lock_guard<std::mutex> lock(mutex);
    return texts.size();
  }
};

TTSResendCtrl::Options Manual(uint32_t start = 0) {
  TTSResendCtrl::Options o;
  o.tickMs = 0;
  o.startPosition = start;
  return o;
}

// Tick numbers (1-based calls of Tick) at which something was resent.
std::vector<int> TicksWithResends(TTSResendCtrl& ctrl, int ticks) {
  std::vector<int> out;
  for (int t = 1; t <= ticks; ++t) {
    if (ctrl.Tick() > 0) out.push_back(t);
  }
  return out;
}

const std::vector<int> kResendTicks = {4, 6, 8, 10, 12, 14, 16, 18, 20};

TEST(IMResend, UnansweredRequestResentOnScheduleThenDropped) {
  for (uint32_t start : {0u, 99966u}) {
    SCOPED_TRACE("start position " + std::to_string(start));
    SendLog log;
    TTSResendCtrl ctrl(500, log.Function(), Manual(start));
    ASSERT_TRUE(ctrl.Add("{\"request\": 1}", "k", "127.0.0.1", 4000, 1));
    EXPECT_EQ(1, ctrl.PendingCount());
    // First check three ticks after the current one, then every two; the tenth
    // check (tick 22) gives up. Starting just below the wrap proves the position
    // runs on across it without skipping slots.
    EXPECT_EQ(kResendTicks, TicksWithResends(ctrl, 21));
    EXPECT_EQ(1, ctrl.PendingCount());
    EXPECT_EQ(0, ctrl.Tick());
    EXPECT_EQ(0, ctrl.PendingCount());
    EXPECT_EQ(1u, ctrl.GivenUpCount());
    EXPECT_EQ(9u, ctrl.ResentCount());
    EXPECT_EQ(std::vector<int>{}, TicksWithResends(ctrl, 70));
    ASSERT_EQ(9u, log.Size());
    EXPECT_EQ("{\"request\": 1}|127.0.0.1:4000", log.texts[0]);
  }
}

TEST(IMResend, PositionWrapsToZero) {
  TTSResendCtrl ctrl(10, nullptr, Manual(99966));
  EXPECT_EQ(99966u, ctrl.Position());
  ctrl.Tick();
  ctrl.Tick();
  EXPECT_EQ(0u, ctrl.Position());
}

TEST(IMResend, AnswerStopsResends) {
  struct Row {
    const char* name;
    int answerAfterTicks;  // -1: never
    int answerKind;
    std::vector<int> resendTicks;
    uint64_t answered;
  };
  const Row rows[] = {
      {"answered before the first check", 2, 2, {}, 1},
      {"answered after the first resend", 5, 2, {4}, 1},
      {"answered after the third resend", 9, 2, {4, 6, 8}, 1},
      {"a request with the same key is no answer", 2, 1, kResendTicks, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SendLog log;
    TTSResendCtrl ctrl(500, log.Function(), Manual());
    ASSERT_TRUE(ctrl.Add("req", "key", "h", 1, 1));
    std::vector<int> resends;
    for (int t = 1; t <= 30; ++t) {
      if (ctrl.Tick() > 0) resends.push_back(t);
      if (t == row.answerAfterTicks) ctrl.Answer("key", row.answerKind);
    }
    EXPECT_EQ(row.resendTicks, resends);
    EXPECT_EQ(0, ctrl.PendingCount());
    EXPECT_EQ(row.answered, ctrl.AnsweredCount());
    EXPECT_EQ(1 - row.answered, ctrl.GivenUpCount());
  }
}

TEST(IMResend, OnlyRequestsAreKept) {
  TTSResendCtrl ctrl(500, nullptr, Manual());
  EXPECT_FALSE(ctrl.Add("resp", "k", "h", 1, 2));
  EXPECT_FALSE(ctrl.Add("other", "k", "h", 1, 0));
  EXPECT_EQ(0, ctrl.PendingCount());
  ctrl.Answer("unknown", 2);
  EXPECT_EQ(std::vector<int>{}, TicksWithResends(ctrl, 25));
}

TEST(IMResend, PoolOf500Exhausted) {
  SendLog log;
  TTSResendCtrl ctrl(500, log.Function(), Manual());
  for (int i = 0; i < 500; ++i) {
    ASSERT_TRUE(ctrl.Add("req" + std::to_string(i), "k" + std::to_string(i), "h", 1, 1));
  }
  testing::internal::CaptureStdout();
  EXPECT_FALSE(ctrl.Add("req500", "k500", "h", 1, 1));
  EXPECT_EQ("TTSResendCtrl:No free data\n", testing::internal::GetCapturedStdout());
  EXPECT_EQ(500, ctrl.PendingCount());
  EXPECT_EQ(0, ctrl.FreeCount());
  // The 501st is never repeated; the 500 are.
  for (int t = 0; t < 4; ++t) ctrl.Tick();
  ASSERT_EQ(500u, log.Size());
  for (const std::string& text : log.texts) EXPECT_NE(0u, text.rfind("req500|", 0));
  // Freed records are used again.
  for (int t = 0; t < 20; ++t) ctrl.Tick();
  EXPECT_EQ(500, ctrl.FreeCount());
  EXPECT_TRUE(ctrl.Add("again", "k", "h", 1, 1));
}

TEST(IMResend, NonPositiveSizeGivesDefaultPool) {
  TTSResendCtrl ctrl(0, nullptr, Manual());
  EXPECT_EQ(TTSResendCtrl::kDefaultPoolSize, ctrl.PoolSize());
}

// Two requests with one key: when the older is dropped, the key must still lead to
// the newer one, so an answer for it still stops it.
TEST(IMResend, FreeingAnOlderRecordKeepsTheNewerKey) {
  SendLog log;
  TTSResendCtrl ctrl(500, log.Function(), Manual());
  ASSERT_TRUE(ctrl.Add("first", "same", "h", 1, 1));
  ctrl.Tick();
  ctrl.Tick();
  ASSERT_TRUE(ctrl.Add("second", "same", "h", 1, 1));
  for (int t = 3; t <= 22; ++t) ctrl.Tick();  // the first gives up at tick 22
  EXPECT_EQ(1u, ctrl.GivenUpCount());
  EXPECT_EQ(1, ctrl.PendingCount());
  ctrl.Answer("same", 2);
  for (int t = 0; t < 3; ++t) ctrl.Tick();
  EXPECT_EQ(1u, ctrl.AnsweredCount());
  EXPECT_EQ(1u, ctrl.GivenUpCount());
  EXPECT_EQ(0, ctrl.PendingCount());
}

TEST(IMResend, TickThreadResendsAndGivesUp) {
  SendLog log;
  TTSResendCtrl::Options fast;
  fast.tickMs = 5;
  TTSResendCtrl ctrl(500, log.Function(), fast);
  ASSERT_TRUE(ctrl.Add("req", "k", "h", 1, 1));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ctrl.GivenUpCount() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ctrl.Stop();
  EXPECT_EQ(1u, ctrl.GivenUpCount());
  EXPECT_EQ(9u, log.Size());
}

TEST(IMResend, StopJoinsAOneSecondTickThreadPromptly) {
  SendLog log;
  auto ctrl = std::make_unique<TTSResendCtrl>(10, log.Function());
  ctrl->Add("req", "k", "h", 1, 1);
  ctrl->Stop();
  ctrl->Stop();
  ctrl.reset();
  EXPECT_EQ(0u, log.Size());
}

// Senders, the dispatch side and the tick thread all at once (run under the
// sanitizers, this is where unguarded maps and lists would show).
TEST(IMResend, ConcurrentAddAnswerAndTicks) {
  TTSResendCtrl::Options fast;
  fast.tickMs = 1;
  std::atomic<size_t> sends{0};
  TTSResendCtrl ctrl(
      64, [&sends](const std::string&, const std::string&, int) { ++sends; }, fast);
  std::vector<std::thread> threads;
  for (int w = 0; w < 4; ++w) {
    threads.emplace_back([&ctrl, w] {
      std::mt19937 gen(w);
      for (int i = 0; i < 3000; ++i) {
        const std::string key = "k" + std::to_string(gen() % 200);
        if (gen() % 2) {
          ctrl.Add("t" + key, key, "h", 1, 1 + static_cast<int>(gen() % 2));
        } else {
          ctrl.Answer(key, 2);
        }
      }
    });
  }
  for (int i = 0; i < 500; ++i) ctrl.Tick();
  for (std::thread& t : threads) t.join();
  ctrl.Stop();
  for (int i = 0; i < 64; ++i) ctrl.Tick();
  EXPECT_EQ(0, ctrl.PendingCount());
  EXPECT_EQ(64, ctrl.FreeCount());
}

}  // namespace
