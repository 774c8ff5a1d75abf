// The IM channel's round trip: a request datagram from the IM server's address to
// the engine's channel, until the channel's automatic response is back; next to a
// raw UDP round trip of the same frame through a bare echo on the same machine.
//
// Usage: im_roundtrip_bench [round trips (5000)]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "BenchFigures.h"
#include "fakes/FakeIMServer.h"
#include "net/TIMChannel.h"
#include "util/TSocketUtil.h"

namespace {

int PortOf(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

sockaddr_in Loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

// A UDP socket on 127.0.0.1 whose receives give up after a second.
int Socket() {
  const int fd = BindUdp("127.0.0.1", 0);
  timeval tv{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  return fd;
}

// Sends bytes to port and waits for one datagram back that contains mark.
bool RoundTrip(int fd, int port, const std::string& bytes, const std::string& mark) {
  const sockaddr_in to = Loopback(port);
  if (sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to),
             sizeof(to)) < 0)
    return false;
  char buffer[8192];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
    if (n <= 0) return false;
    std::string text;
    if (!FakeIMServer::Unframe(std::string(buffer, static_cast<size_t>(n)), &text)) continue;
    if (text.find(mark) != std::string::npos) return true;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5000;

  // The IM server's side is a bare socket here: the bench itself is the server.
  const int serverFd = Socket();
  std::atomic<long> delivered{0};
  TIMChannel channel([&](const std::string&, const std::string&, int) { ++delivered; });
  channel.SetRecvCacheSize(500);
  channel.SetResendPoolSize(500);
  channel.Start(1);
  channel.SetServer("127.0.0.1", PortOf(serverFd));
  const int clientFd = BindUdp("127.0.0.1", 0);
  const int clientPort = PortOf(clientFd);
  channel.SetSocket(clientFd, 0);

  auto frameFor = [](int i) {
    const std::string id = "rt" + std::to_string(i);
    return std::make_pair(
        FakeIMServer::Frame(FakeIMServer::RequestText(id, "srv@test.local", "me@test.local",
                                                      "message", "im", {{"msgtype", "msg"}})),
        "\"" + id + "\"");
  };

  Samples channelRtt;
  int lost = 0;
  for (int i = 0; i < rounds + 200; ++i) {
    const auto [bytes, mark] = frameFor(i);
    const auto start = BenchClock::now();
    const bool ok = RoundTrip(serverFd, clientPort, bytes, mark);
    if (i < 200) continue;  // warm-up
    if (ok)
      channelRtt.Add(MicrosSince(start));
    else
      ++lost;
  }
  channel.Stop();
  close(serverFd);

  // The machine's limit: the same frames through a bare UDP echo.
  const int echoFd = Socket();
  const int echoPort = PortOf(echoFd);
  std::atomic<bool> stop{false};
  std::thread echo([&] {
    char buffer[8192];
    while (!stop) {
      sockaddr_in from{};
      socklen_t len = sizeof(from);
      const ssize_t n =
          recvfrom(echoFd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &len);
      if (n > 0)
        sendto(echoFd, buffer, static_cast<size_t>(n), 0, reinterpret_cast<sockaddr*>(&from), len);
    }
  });
  const int rawFd = Socket();
  Samples rawRtt;
  for (int i = 0; i < rounds + 200; ++i) {
    const auto [bytes, mark] = frameFor(i);
    const auto start = BenchClock::now();
    const bool ok = RoundTrip(rawFd, echoPort, bytes, mark);
    if (i >= 200 && ok) rawRtt.Add(MicrosSince(start));
  }
  stop = true;
  echo.join();
  close(echoFd);
  close(rawFd);

  std::printf("\n");
  PrintSamples("request -> automatic response (channel)", channelRtt);
  PrintSamples("raw UDP round trip (bare echo)", rawRtt);
  std::printf("unanswered requests: %d; texts delivered by the channel: %ld\n", lost,
              delivered.load());
  std::printf("median ratio channel / raw UDP: %.2fx (target at most 10x)\n",
              channelRtt.Median() / rawRtt.Median());
  std::printf("p99 ratio channel / raw UDP:    %.2fx\n", channelRtt.P99() / rawRtt.P99());
  return lost ? 2 : 0;
}
