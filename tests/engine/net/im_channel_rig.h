// A started IM channel wired to a FakeIMServer over a real loopback socket, with
// the texts it delivers and traces kept for the test.
#ifndef TESMO_TESTS_ENGINE_NET_IM_CHANNEL_RIG_H
#define TESMO_TESTS_ENGINE_NET_IM_CHANNEL_RIG_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeIMServer.h"
#include "net/TIMChannel.h"
#include "net/TIMServer.h"
#include "net/TTSResendCtrl.h"
#include "util/TSocketUtil.h"

inline int LocalPortOf(int sock) {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  getsockname(sock, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

struct Traced {
  std::string text;
  std::string host;
  int port;
  int direction;
};

class ChannelRig {
 public:
  // tickMs 0: resend ticks by hand through Tick().
  explicit ChannelRig(int resend = 1, unsigned tickMs = 0) {
    channel = std::make_unique<TIMChannel>(
        [this](const std::string& text, const std::string& host, int port) {
          std::lock_guard<std::mutex> lock(mutex);
          delivered.push_back(text);
          deliveredHost = host;
          deliveredPort = port;
          cond.notify_all();
        });
    channel->SetRecvCacheSize(500);
    channel->SetResendPoolSize(500);
    channel->SetResendTickMs(tickMs);
    channel->SetHook([this](const std::string& text, const std::string& host, int port, int dir) {
      std::lock_guard<std::mutex> lock(mutex);
      traced.push_back({text, host, port, dir});
      if (dir == 0) ++tracedSends;
      cond.notify_all();
    });
    channel->Start(resend);
    channel->SetServer("127.0.0.1", server.Port());
    const int sock = BindUdp("127.0.0.1", 0);
    // Bursts of answers must not overflow the socket while a sanitized, loaded
    // receive thread lags: the kernel would drop them and the run would differ.
    const int rcvbuf = 4 << 20;
    setsockopt(sock, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof(rcvbuf));
    clientPort = LocalPortOf(sock);
    channel->SetSocket(sock, 0);
    server.SetClient("127.0.0.1", clientPort);
  }
  ~ChannelRig() { channel->Stop(); }

  int Send(const std::string& text) { return channel->Send(text, "127.0.0.1", server.Port()); }

  std::vector<std::string> Delivered() {
    std::lock_guard<std::mutex> lock(mutex);
    return delivered;
  }
  std::vector<Traced> TracedTexts() {
    std::lock_guard<std::mutex> lock(mutex);
    return traced;
  }
  size_t TracedSends() {
    std::lock_guard<std::mutex> lock(mutex);
    return tracedSends;
  }
  // Waits until the handler got the text (at least once).
  bool WaitDelivered(const std::string& text, int timeoutMs = 10000) {
    std::unique_lock<std::mutex> lock(mutex);
    return cond.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      for (const std::string& t : delivered) {
        if (t == text) return true;
      }
      return false;
    });
  }
  // Sends a short marker from the server and waits for it: everything the server
  // sent before it has then been handled by the channel.
  bool Fence(const std::string& marker = "z") {
    server.Push(marker);
    const bool ok = WaitDelivered(marker);
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = delivered.begin(); it != delivered.end();) {
      it = (*it == marker) ? delivered.erase(it) : it + 1;
    }
    return ok;
  }
  // True once nothing is in flight: the server got every datagram the channel
  // sent, the channel got and dispatched every datagram the server sent.
  bool Quiet() {
    const TIMChannel::Stats s = channel->GetStats();
    const uint64_t handled = s.dispatched + s.framesRejected + s.queueDropped;
    const uint64_t arrived = s.framesReceived + channel->Transport()->OversizeDropCount();
    return TracedSends() == server.HandledCount() && arrived == server.SentCount() &&
           handled == s.framesReceived && server.ScheduledCount() == 0;
  }
  bool Settle(int timeoutMs = 20000) {
    return server.WaitFor([this] { return Quiet(); }, timeoutMs);
  }
  // One resend tick, then wait until its resends and their answers have been
  // handled.
  int Tick() {
    const int resent = channel->ResendTick();
    EXPECT_TRUE(Settle()) << "datagrams still in flight after a resend tick";
    return resent;
  }

  FakeIMServer server;
  std::unique_ptr<TIMChannel> channel;
  int clientPort = 0;

 private:
  std::mutex mutex;
  std::condition_variable cond;
  std::vector<std::string> delivered;
  std::string deliveredHost;
  int deliveredPort = 0;
  std::vector<Traced> traced;
  size_t tracedSends = 0;
};

#endif
