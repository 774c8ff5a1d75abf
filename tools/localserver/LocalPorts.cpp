#include "LocalPorts.h"

#include <json/json.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "LocalStore.h"

void LocalPorts::Load(const LocalStore& store) {
  Json::Value kept;
  std::lock_guard<std::mutex> lock(m_mutex);
  m_ports.clear();
  if (!store.LoadJson(kStateFile, &kept)) return;
  for (const std::string& key : kept.getMemberNames()) {
    const Json::Value& v = kept[key];
    if (v.isInt() && v.asInt() > 0 && v.asInt() <= 65535) {
      m_ports[key] = v.asInt();
    } else {
      std::fprintf(stderr, "%s: \"%s\" is no port; a new one is chosen\n", kStateFile, key.c_str());
    }
  }
}

int LocalPorts::Get(const std::string& key) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  auto it = m_ports.find(key);
  return it == m_ports.end() ? 0 : it->second;
}

void LocalPorts::Keep(LocalStore& store, const std::string& key, int port) {
  Json::Value all(Json::objectValue);
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_ports.find(key);
    if (port <= 0 || (it != m_ports.end() && it->second == port)) return;
    m_ports[key] = port;
    for (const auto& entry : m_ports) all[entry.first] = entry.second;
  }
  store.SaveJson(kStateFile, all);
}

std::string LocalPorts::TakenError(const std::string& key, int port, const std::string& file) {
  return "port " + std::to_string(port) + " (" + key +
         ") is taken: another program listens on it. Stop that program, or remove " + file +
         " to choose new ports (clients then need a new login)";
}

namespace {

constexpr int kLowestPort = 1024;
constexpr int kFreshSpan = 16384;
constexpr int kFreshTries = 200;
constexpr int kOpenTries = 40;
constexpr auto kOpenPause = std::chrono::milliseconds(100);

// The low end of the range the system gives passing sockets (Linux's default when the
// setting cannot be read).
int EphemeralLow() {
  std::ifstream in("/proc/sys/net/ipv4/ip_local_port_range");
  int low = 0;
  int high = 0;
  if (!(in >> low >> high) || low <= kLowestPort || low > 65535) return 32768;
  return low;
}

}  // namespace

bool LocalPorts::IsFree(int port, bool udp) {
  const int fd = socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int one = 1;
  // As the servers bind: connections left in TIME_WAIT do not count.
  if (!udp) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool free = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
  close(fd);
  return free;
}

int LocalPorts::FreshPort(bool udp) {
  static std::mt19937 random{std::random_device{}()};
  const int high = EphemeralLow() - 1;
  const int low = std::max(kLowestPort, high - kFreshSpan);
  if (high <= low) return 0;
  std::uniform_int_distribution<int> pick(low, high);
  for (int i = 0; i < kFreshTries; ++i) {
    const int port = pick(random);
    if (IsFree(port, udp)) return port;
  }
  return 0;
}

bool LocalPorts::Open(const std::vector<int>& kept, bool udp,
                      const std::function<bool(const std::vector<int>& ports)>& open) {
  for (int i = 0; i < kOpenTries; ++i) {
    std::vector<int> ports = kept;
    for (int& port : ports) {
      if (port == 0) port = FreshPort(udp);
    }
    if (open(ports)) return true;
    if (std::any_of(kept.begin(), kept.end(), [](int port) { return port != 0; }))
      std::this_thread::sleep_for(kOpenPause);
  }
  return false;
}
