// Receiving: the local server (a child process) pushes chat messages to the logged-in
// engine as fast as it relays them; measured are the pushes per second that the engine
// received and answered, stored in nq_message and announced with 100008, and whether
// any was lost. Next to it, the machine's limit in the same run: raw loopback UDP
// datagrams per second from one socket to another.
//
// Usage: receive_bench [pushes (5000)] [raw datagrams (200000)]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "BenchEngine.h"
#include "BenchFigures.h"
#include "TAPIInterface.h"
#include "tools/LocalServerProcess.h"
#include "util/TSocketUtil.h"

namespace {

const char* kMe = "200001@test.local";
const char* kFriend = "200002@test.local";

std::mutex g_mutex;
std::condition_variable g_cond;
long g_announced = 0;  // 100008 reports
int g_loggedIn = 0;
bool g_synchronised = false;  // 100013: the background synchronisation after the login ended
BenchClock::time_point g_lastAnnounce;

void Callback(int code, int, int, int, const char*) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (code == _EVENT_COME_IMMESSAGE) {
    ++g_announced;
    g_lastAnnounce = BenchClock::now();
  } else if (code == _EVENT_LOGIN_SUCCESS) {
    g_loggedIn = 1;
  } else if (code == _EVENT_LOGIN_FAIL) {
    g_loggedIn = -1;
  } else if (code == _EVENT_COME_FINISHIMHISTORY) {
    g_synchronised = true;
  }
  g_cond.notify_all();
}

int PortOf(int fd) {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  return ntohs(addr.sin_port);
}

// Pushes, answers and losses as the local server counts them.
bool PushesAnswered(const LocalServerProcess& server, long pushes) {
  std::ostringstream expected;
  expected << "pushes: " << pushes << " sent, 0 unanswered\n";
  return server.Command("status") == expected.str();
}

long StoredFromFriend(TAPIInterface& api) {
  const long set = api.DBSelectSql(
      ("select count(*) from nq_message where fromuser='" + std::string(kFriend) + "'").c_str());
  const long count = set ? api.DBGetIntValue(set, 0, 0) : -1;
  api.DBRelease(set);
  return count;
}

// Datagrams of the given size from one loopback socket to another, as fast as they
// go; what arrived per second, and how many were lost.
void RawUdpRate(int datagrams, size_t size) {
  const int rx = BindUdp("127.0.0.1", 0);
  const int buffer = 8 << 20;
  setsockopt(rx, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof(buffer));
  timeval tv{0, 200000};
  setsockopt(rx, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  std::atomic<long> received{0};
  BenchClock::time_point last = BenchClock::now();
  std::thread reader([&] {
    char data[8192];
    while (recv(rx, data, sizeof(data), 0) > 0) {
      ++received;
      last = BenchClock::now();
    }
  });
  const int tx = BindUdp("127.0.0.1", 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(PortOf(rx)));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const std::string payload(size, 'p');
  const auto start = BenchClock::now();
  for (int i = 0; i < datagrams; ++i)
    sendto(tx, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
  reader.join();  // ends 200 ms after the last datagram
  const double us = std::chrono::duration<double, std::micro>(last - start).count();
  std::printf("%-44s %ld of %d datagrams of %zu bytes in %.1f ms: %.0f datagrams/s\n",
              "raw loopback UDP, one socket to another", received.load(), datagrams, size,
              us / 1000, received.load() / (us / 1e6));
  close(tx);
  close(rx);
}

}  // namespace

int main(int argc, char** argv) {
  const long pushes = argc > 1 ? std::atol(argv[1]) : 5000;
  const int datagrams = argc > 2 ? std::atoi(argv[2]) : 200000;
  const std::string dir = BenchFolder("tesmo-receive-bench");
  if (dir.empty()) return 1;
  LocalServerProcess server;
  TAPIInterface api;
  if (!StartAndLogIn(server, api, dir, &Callback, [] {
        std::unique_lock<std::mutex> lock(g_mutex);
        g_cond.wait_for(lock, std::chrono::seconds(60), [] { return g_loggedIn != 0; });
        return g_loggedIn;
      }))
    return 1;
  // The synchronisation after the login downloads what the server holds, pushed
  // messages included: a push it stored first would be a duplicate, never announced.
  {
    std::unique_lock<std::mutex> lock(g_mutex);
    g_cond.wait_for(lock, std::chrono::seconds(60), [] { return g_synchronised; });
    g_announced = 0;
  }
  const long storedBefore = StoredFromFriend(api);

  // Every push in one control session: the server relays each as it reads its line.
  std::string lines;
  for (long i = 0; i < pushes; ++i)
    lines += "push " + std::string(kMe) + " " + kFriend + " message " + std::to_string(i) + "\n";
  const auto start = BenchClock::now();
  std::thread control([&] {
    const int fd = ConnectLoopback(server.Port("CONTROL"));
    send(fd, lines.data(), lines.size(), MSG_NOSIGNAL);
    shutdown(fd, SHUT_WR);
    ReadReply(fd, 600000);
    close(fd);
  });
  // Received and answered: the server has no push left unanswered.
  const auto deadline = start + std::chrono::seconds(300);
  while (!PushesAnswered(server, pushes) && BenchClock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const double answeredUs = MicrosSince(start);
  control.join();
  const bool allAnswered = PushesAnswered(server, pushes);
  // Stored and announced: wait a little longer for the last announcements.
  {
    std::unique_lock<std::mutex> lock(g_mutex);
    g_cond.wait_for(lock, std::chrono::seconds(30), [&] { return g_announced >= pushes; });
  }
  long announced;
  double announcedUs;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    announced = g_announced;
    announcedUs = std::chrono::duration<double, std::micro>(g_lastAnnounce - start).count();
  }
  const long stored = StoredFromFriend(api) - storedBefore;
  const std::string status = server.Command("status");
  api.Release();
  server.Stop();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);

  std::printf("\n");
  std::printf("%-44s %ld pushes in %.1f ms: %.0f pushes/s (%s)\n", "received and answered", pushes,
              answeredUs / 1000, pushes / (answeredUs / 1e6),
              allAnswered ? "none unanswered" : status.c_str());
  if (announced > 0) {
    std::printf("%-44s %ld announced, %ld stored, in %.1f ms: %.0f pushes/s (target 5,000)\n",
                "stored and announced with 100008", announced, stored, announcedUs / 1000,
                announced / (announcedUs / 1e6));
  } else {
    std::printf("%-44s none announced, %ld stored: this engine does not yet store pushes\n",
                "stored and announced with 100008", stored);
  }
  RawUdpRate(datagrams, 300);
  const bool lost = !allAnswered || (announced > 0 && (announced != pushes || stored != pushes));
  return lost ? 2 : 0;
}
