// The UDP transport: sends without a socket, socket swaps, the sender check, oversize
// datagrams, and sends racing swaps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fakes/FakeIMServer.h"
#include "im_channel_rig.h"
#include "net/TIMServer.h"
#include "util/TSocketUtil.h"

namespace {

struct Inbox {
  std::mutex mutex;
  std::condition_variable cond;
  std::vector<std::string> data;
  std::vector<std::pair<std::string, int>> senders;

  TIMServer::ReceiveFunction Function() {
    return [this](const char* bytes, int length, const std::string& host, int port) {
      std::lock_guard<std::mutex> lock(mutex);
      EXPECT_EQ('\0', bytes[length]);
      data.emplace_back(bytes, static_cast<size_t>(length));
      senders.emplace_back(host, port);
      cond.notify_all();
    };
  }
  bool WaitCount(size_t n) {
    std::unique_lock<std::mutex> lock(mutex);
    return cond.wait_for(lock, std::chrono::seconds(10), [&] { return data.size() >= n; });
  }
};

bool PortIsFree(int port) {
  const int sock = BindUdp("127.0.0.1", port);
  if (sock <= 0) return false;
  close(sock);
  return true;
}

bool WaitUntil(const std::function<bool()>& cond) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!cond()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

TEST(IMServer, SendsNeedASocket) {
  FakeIMServer fake;
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.Start();
  EXPECT_FALSE(server.HasSocket());
  EXPECT_EQ(-1, server.SendTo("abc", 3, "127.0.0.1", fake.Port()));
  const int sock = BindUdp("127.0.0.1", 0);
  ASSERT_GT(sock, 0);
  EXPECT_EQ(LocalPortOf(sock), server.SetSocket(sock, LocalPortOf(sock)));
  // Usable at once, before the receive thread has taken it over.
  EXPECT_EQ(3, server.SendTo("abc", 3, "127.0.0.1", fake.Port()));
  ASSERT_TRUE(fake.WaitFor([&] { return fake.ReceivedCount() == 1; }));
  EXPECT_EQ(LocalPortOf(sock), fake.Received()[0].port);
  EXPECT_EQ(-1, server.SendTo("abc", 3, "no.such.host.invalid", fake.Port()));
  server.DropSocket();
  EXPECT_FALSE(server.HasSocket());
  EXPECT_EQ(-1, server.SendTo("abc", 3, "127.0.0.1", fake.Port()));
}

TEST(IMServer, OnlyThePeerIsHeard) {
  FakeIMServer fake;
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.Start();
  const int sock = BindUdp("127.0.0.1", 0);
  server.SetSocket(sock, 0);
  fake.SetClient("127.0.0.1", LocalPortOf(sock));

  // No peer yet: nothing is trusted.
  fake.SendBytes("early");
  ASSERT_TRUE(WaitUntil([&] { return server.ForeignDropCount() == 1; }));

  ASSERT_TRUE(server.SetPeer("127.0.0.1", fake.Port()));
  testing::internal::CaptureStdout();
  fake.SendFromForeignPort("forged");
  ASSERT_TRUE(WaitUntil([&] { return server.ForeignDropCount() == 2; }));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, out.find("not the IM server")) << out;

  fake.SendBytes("genuine");
  ASSERT_TRUE(inbox.WaitCount(1));
  std::lock_guard<std::mutex> lock(inbox.mutex);
  EXPECT_EQ(std::vector<std::string>{"genuine"}, inbox.data);
  EXPECT_EQ("127.0.0.1", inbox.senders[0].first);
  EXPECT_EQ(fake.Port(), inbox.senders[0].second);
  EXPECT_EQ(1u, server.DeliveredCount());
}

TEST(IMServer, OversizeDatagramIsDroppedNotCut) {
  FakeIMServer fake;
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.Start();
  const int sock = BindUdp("127.0.0.1", 0);
  server.SetSocket(sock, 0);
  server.SetPeer("127.0.0.1", fake.Port());
  fake.SetClient("127.0.0.1", LocalPortOf(sock));

  testing::internal::CaptureStdout();
  fake.SendOversize(TIMServer::kReceiveLimit + 1);
  fake.SendOversize(30000);
  fake.SendOversize(TIMServer::kReceiveLimit);
  ASSERT_TRUE(inbox.WaitCount(1));
  ASSERT_TRUE(WaitUntil([&] { return server.OversizeDropCount() == 2; }));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(std::string::npos, out.find("10241 bytes")) << out;
  EXPECT_NE(std::string::npos, out.find("30000 bytes")) << out;
  std::lock_guard<std::mutex> lock(inbox.mutex);
  ASSERT_EQ(1u, inbox.data.size());
  EXPECT_EQ(static_cast<size_t>(TIMServer::kReceiveLimit), inbox.data[0].size());
}

TEST(IMServer, SwapClosesTheOldSocket) {
  FakeIMServer fake;
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.SetPeer("127.0.0.1", fake.Port());
  server.Start();
  const int first = BindUdp("127.0.0.1", 0);
  const int firstPort = LocalPortOf(first);
  server.SetSocket(first, firstPort);
  fake.SetClient("127.0.0.1", firstPort);
  fake.SendBytes("one");
  ASSERT_TRUE(inbox.WaitCount(1));

  const int second = BindUdp("127.0.0.1", 0);
  const int secondPort = LocalPortOf(second);
  server.SetSocket(second, secondPort);
  EXPECT_EQ(secondPort, server.CurrentPort());
  // The receive thread closes the first socket: its port can be bound again.
  ASSERT_TRUE(WaitUntil([&] { return PortIsFree(firstPort); }));
  fake.SetClient("127.0.0.1", secondPort);
  fake.SendBytes("two");
  ASSERT_TRUE(inbox.WaitCount(2));

  // A socket handed over and replaced before it was taken is closed too.
  const int third = BindUdp("127.0.0.1", 0);
  const int thirdPort = LocalPortOf(third);
  const int fourth = BindUdp("127.0.0.1", 0);
  const int fourthPort = LocalPortOf(fourth);
  server.SetSocket(third, thirdPort);
  server.SetSocket(fourth, fourthPort);
  ASSERT_TRUE(WaitUntil([&] { return PortIsFree(thirdPort) && PortIsFree(secondPort); }));

  server.Stop();
  EXPECT_TRUE(PortIsFree(fourthPort));
  EXPECT_FALSE(server.HasSocket());
}

TEST(IMServer, StopClosesTheSocket) {
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.Start();
  const int sock = BindUdp("127.0.0.1", 0);
  const int port = LocalPortOf(sock);
  server.SetSocket(sock, port);
  ASSERT_TRUE(WaitUntil([&] { return !PortIsFree(port); }));
  server.Stop();
  EXPECT_TRUE(PortIsFree(port));
  server.Stop();
}

// Senders race a stream of socket swaps while other code opens files, which take
// the descriptor numbers the swaps free. A send through a closed (and reused)
// descriptor would write into one of those files.
TEST(IMServer, SendsRacingSwapsStayOnSockets) {
  FakeIMServer fake;
  Inbox inbox;
  TIMServer server(inbox.Function());
  server.Start();
  server.SetSocket(BindUdp("127.0.0.1", 0), 0);

  char dir[] = "/tmp/tesmo_im_race_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  std::atomic<bool> done{false};
  std::atomic<int> sent{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 3; ++i) {
    threads.emplace_back([&] {
      while (!done) {
        if (server.SendTo("payload", 7, "127.0.0.1", fake.Port()) == 7) ++sent;
      }
    });
  }
  std::vector<int> files;
  std::vector<std::string> names;
  threads.emplace_back([&] {
    for (int i = 0; i < 400 && !done; ++i) {
      const std::string name = std::string(dir) + "/f" + std::to_string(i);
      const int fd = open(name.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
      if (fd >= 0) {
        files.push_back(fd);
        names.push_back(name);
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  for (int i = 0; i < 200; ++i) {
    server.SetSocket(BindUdp("127.0.0.1", 0), 0);
    std::this_thread::sleep_for(std::chrono::microseconds(300));
    if (i % 50 == 49) server.DropSocket();
  }
  server.SetSocket(BindUdp("127.0.0.1", 0), 0);
  ASSERT_TRUE(WaitUntil([&] { return sent.load() > 100; }));
  done = true;
  for (std::thread& t : threads) t.join();
  server.Stop();
  for (size_t i = 0; i < files.size(); ++i) {
    struct stat st {};
    ASSERT_EQ(0, fstat(files[i], &st));
    EXPECT_EQ(0, st.st_size) << names[i];
    close(files[i]);
    unlink(names[i].c_str());
  }
  rmdir(dir);
  EXPECT_GT(fake.ReceivedCount(), 0u);
}

}  // namespace
