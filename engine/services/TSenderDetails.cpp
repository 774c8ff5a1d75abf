#include "services/TSenderDetails.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <iterator>
#include <map>
#include <mutex>

namespace {

using Clock = std::chrono::steady_clock;
using Login = uint64_t;  // TAccountScope's login counter

struct Wanted {
  std::string peer;
  std::string url;
  Login login;
};

struct Memory {
  std::mutex mutex;
  std::map<std::string, Clock::time_point> peers;    // wanted or failed at
  std::map<std::string, Clock::time_point> servers;  // left unanswered at
  std::deque<Wanted> waiting;
  Login run = 0;  // the login whose run is under way; 0: none
};

Memory& Remembered() {
  static Memory* memory = new Memory;  // used until the process ends
  return *memory;
}

constexpr size_t kKeptTimes = 256;

bool Expired(Clock::time_point at, Clock::time_point now) {
  return now - at >= std::chrono::milliseconds(TSenderDetails::kRetryAfterMs);
}

bool Recent(const std::map<std::string, Clock::time_point>& times, const std::string& key,
            Clock::time_point now) {
  auto found = times.find(key);
  return found != times.end() && !Expired(found->second, now);
}

// A long run meets many senders: times that no longer hold anything back go.
void Forget(std::map<std::string, Clock::time_point>* times, Clock::time_point now) {
  if (times->size() < kKeptTimes) return;
  for (auto it = times->begin(); it != times->end();)
    it = Expired(it->second, now) ? times->erase(it) : std::next(it);
}

}  // namespace

bool TSenderDetails::Want(const std::string& peer, const std::string& url) {
  Memory& memory = Remembered();
  const Clock::time_point now = Clock::now();
  const Login login = TAccountScope::OfThread().login;
  std::lock_guard<std::mutex> lock(memory.mutex);
  if (Recent(memory.peers, peer, now) || Recent(memory.servers, url, now)) return false;
  Forget(&memory.peers, now);
  Forget(&memory.servers, now);
  memory.peers[peer] = now;
  memory.waiting.push_back({peer, url, login});
  // A run of a login that is over takes nothing more: a new one starts.
  if (memory.run == login) return false;
  memory.run = login;
  return true;
}

bool TSenderDetails::Next(std::string* peer, std::string* url) {
  Memory& memory = Remembered();
  const Clock::time_point now = Clock::now();
  const Login login = TAccountScope::OfThread().login;
  std::lock_guard<std::mutex> lock(memory.mutex);
  if (memory.run != login) return false;
  if (TAccountScope::IsLoginOver()) {
    memory.run = 0;
    return false;
  }
  while (!memory.waiting.empty()) {
    Wanted next = memory.waiting.front();
    memory.waiting.pop_front();
    // Another login's senders are not this run's; a server that did not answer
    // lately is not asked again meanwhile.
    if (next.login != login) continue;
    if (Recent(memory.servers, next.url, now)) {
      memory.peers[next.peer] = now;
      continue;
    }
    *peer = next.peer;
    *url = next.url;
    return true;
  }
  memory.run = 0;
  return false;
}

void TSenderDetails::End(const std::string& peer, const std::string& url, Outcome outcome) {
  Memory& memory = Remembered();
  const Clock::time_point now = Clock::now();
  std::lock_guard<std::mutex> lock(memory.mutex);
  if (outcome == kStored) {
    memory.peers.erase(peer);
    memory.servers.erase(url);
    return;
  }
  memory.peers[peer] = now;
  if (outcome == kUnreachable) memory.servers[url] = now;
}

bool TSenderDetails::Running() {
  Memory& memory = Remembered();
  std::lock_guard<std::mutex> lock(memory.mutex);
  // A run queued for a login that is over never starts.
  return memory.run != 0 && memory.run == TAccountScope::Current().login;
}

void TSenderDetails::Clear() {
  Memory& memory = Remembered();
  std::lock_guard<std::mutex> lock(memory.mutex);
  memory.peers.clear();
  memory.servers.clear();
  memory.waiting.clear();
  memory.run = 0;
}
