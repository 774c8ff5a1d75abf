#include "services/TSendOutcomes.h"

#include <climits>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "base/TAutoLock.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "services/TFacadeLink.h"
#include "services/TMessageInsertLock.h"

namespace {

struct Kept {
  int localId;
  TSendOutcomes::Apply apply;
};

// Innermost lock: taken after the message insert lock and the database lock, and
// never held while an outcome is written.
struct Registry {
  std::mutex mutex;
  std::multiset<std::pair<std::string, int>> out;
  std::map<std::string, std::vector<Kept>> kept;
  bool switching = false;
};

Registry& State() {
  static auto* registry = new Registry;
  return *registry;
}

// The path of the database open now; the caller holds the database lock.
std::string OpenPath() {
  TFacadeLink* facade = TFacadeLink::Current();
  TDBManager* db = facade ? facade->GetDatabaseManager() : nullptr;
  return db ? db->GetPath() : std::string();
}

void ForgetOut(Registry& r, const std::string& path, int localId) {
  auto it = r.out.find({path, localId});
  if (it != r.out.end()) r.out.erase(it);
}

}  // namespace

TSendOutcomes::Post::Post(int localId) : m_localId(localId) {
  TAutoLock dbLock(DatabaseMutex());
  if (TAccountScope::IsStale()) return;
  m_path = OpenPath();
  if (m_path.empty()) return;
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.out.insert({m_path, m_localId});
}

TSendOutcomes::Post::~Post() {
  if (m_settled || m_path.empty()) return;
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  ForgetOut(r, m_path, m_localId);
}

int TSendOutcomes::Post::Settle(Apply apply, int keptResult) {
  if (m_settled) return keptResult;
  m_settled = true;
  // Held across the check and the write: no switch comes in between.
  TAutoLock insertLock(MessageInsertLock());
  TAutoLock dbLock(DatabaseMutex());
  if (!TAccountScope::IsStale()) {
    // The file the post began in is still open.
    if (!m_path.empty()) {
      Registry& r = State();
      std::lock_guard<std::mutex> lock(r.mutex);
      ForgetOut(r, m_path, m_localId);
    }
    return apply();
  }
  if (m_path.empty()) return keptResult;
  const std::string open = OpenPath();
  bool now = false;
  {
    Registry& r = State();
    std::lock_guard<std::mutex> lock(r.mutex);
    ForgetOut(r, m_path, m_localId);
    now = !r.switching && open == m_path;
    if (!now) r.kept[m_path].push_back({m_localId, std::move(apply)});
  }
  if (!now) return keptResult;
  // Its file was closed and is open again: written there, as work of the login now.
  TAccountScope scope(TAccountScope::Current());
  return apply();
}

void TSendOutcomes::FileClosing() {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.switching = true;
}

void TSendOutcomes::FileOpened(const std::string& path) {
  TAutoLock insertLock(MessageInsertLock());
  TAutoLock dbLock(DatabaseMutex());
  const bool open = OpenPath() == path;
  std::vector<Kept> kept;
  {
    Registry& r = State();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.switching = false;
    auto it = r.kept.find(path);
    if (open && it != r.kept.end()) {
      kept.swap(it->second);
      r.kept.erase(it);
    }
  }
  if (kept.empty()) return;
  TAccountScope scope(TAccountScope::Current());
  for (Kept& k : kept) {
    try {
      k.apply();
    } catch (...) {
      // Out of memory: this row stays as it was; the others are still written.
    }
  }
}

std::vector<int> TSendOutcomes::PendingIds(const std::string& path) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<int> ids;
  for (auto it = r.out.lower_bound({path, INT_MIN}); it != r.out.end() && it->first == path; ++it)
    ids.push_back(it->second);
  auto kept = r.kept.find(path);
  if (kept != r.kept.end())
    for (const Kept& k : kept->second) ids.push_back(k.localId);
  return ids;
}
