// Thread, lock and log-file wrappers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/TAutoLock.h"
#include "base/TBaseMutex.h"
#include "base/TBaseThread.h"
#include "base/TStopFlag.h"
#include "util/TLogFile.h"

using namespace std::chrono_literals;

TEST(BaseMutex, OwnerRelocksWithoutBlockingAndOthersWaitForBothUnlocks) {
  TBaseMutex m;
  m.Lock(-1);
  m.Lock(-1);
  std::atomic<bool> got{false};
  std::thread other([&] {
    TAutoLock lock(m);
    got = true;
  });
  std::this_thread::sleep_for(50ms);
  m.Unlock();
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(got.load());
  m.Unlock();
  other.join();
  EXPECT_TRUE(got.load());
}

namespace {
std::atomic<int> g_ran{0};
unsigned CountingEntry(void* arg) {
  g_ran += *static_cast<int*>(arg);
  return 0;
}
unsigned StopWaitingEntry(void*) {
  // One long wait: only the stop flag can end it early.
  EngineSleep(600000);
  return 0;
}
}  // namespace

TEST(BaseThread, RunsAtOnceJoinsAndIsNeverKilled) {
  int five = 5;
  {
    TBaseThread t(&CountingEntry, &five);
    t.Join();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_FALSE(t.Terminate(0));
  }
  EXPECT_EQ(g_ran.load(), 5);
}

TEST(BaseThread, WaitsWakeOnTheStopFlag) {
  SetEngineStopping(false);
  TBaseThread t(&StopWaitingEntry, nullptr);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(t.IsRunning());
  auto start = std::chrono::steady_clock::now();
  SetEngineStopping(true);
  t.Join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
  SetEngineStopping(false);
}

TEST(LogFile, OpenCreatesNoFileAndWritesNothing) {
  char dir[] = "/tmp/tesmo-log-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string path = std::string(dir) + "/im.log";
  TLogFile log;
  log.Close();  // never opened: nothing happens
  log.Open(path.c_str());
  EXPECT_FALSE(log.IsOpen());
  log.Printf("%s %d", "hello", 1);
  log.WriteLine("x");
  EXPECT_NE(access(path.c_str(), F_OK), 0);
  rmdir(dir);
}

TEST(LogFile, AttachedStreamGetsStampedLinesCutAt8191) {
  FILE* f = tmpfile();
  ASSERT_NE(f, nullptr);
  TLogFile log;
  log.Attach(f);
  ASSERT_TRUE(log.IsOpen());
  log.Printf("%s", std::string(10000, 'a').c_str());
  rewind(f);
  std::string line(20000, '\0');
  size_t n = fread(&line[0], 1, line.size(), f);
  line.resize(n);
  ASSERT_GE(line.size(), 8191u);
  EXPECT_EQ(line[0], '[');
  EXPECT_NE(line.find("] :"), std::string::npos);
  EXPECT_EQ(line.size() - line.find("] :") - 3, 8191u + 1);  // 8191 characters and "\n"
  log.Close();
  EXPECT_FALSE(log.IsOpen());
}

// The HTTP workers write the log while the caller opens, attaches or closes it
// (SetHttpLog at any time): no line goes to a stream being closed, and every line
// that was written is whole.
TEST(LogFile, WritersRaceOpenAttachAndClose) {
  TLogFile log;
  std::atomic<bool> done{false};
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&log, &done, w] {
      while (!done) {
        log.WriteLine("line");
        log.Printf("writer %d", w);
        (void)log.IsOpen();
      }
    });
  }
  for (int round = 0; round < 300; ++round) {
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    log.Attach(f);
    std::this_thread::yield();
    log.Close();
    log.Open("./http.log");
    EXPECT_FALSE(log.IsOpen());
  }
  done = true;
  for (std::thread& t : writers) t.join();

  FILE* f = tmpfile();
  ASSERT_NE(f, nullptr);
  log.Attach(f);
  log.WriteLine("last");
  rewind(f);
  char line[256] = {};
  ASSERT_NE(fgets(line, sizeof(line), f), nullptr);
  EXPECT_NE(std::string(line).find("] :last\n"), std::string::npos);
  log.Close();
}
