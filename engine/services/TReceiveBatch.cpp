#include "services/TReceiveBatch.h"

#include <mutex>
#include <utility>
#include <vector>

#include "base/TAPIPacket.h"
#include "base/TBaseMutex.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "net/TIMPacket.h"
#include "net/TIMSession.h"
#include "services/TMessageIds.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageService.h"
#include "services/TServiceDatabase.h"

namespace {

// Each event and push keeps the login it came under: a batch may outlive it.
struct Event {
  int id;
  std::string json;
  TAccountScope::Stamp stamp;
};

struct Push {
  TIMPacket packet;
  TAccountScope::Stamp stamp;
};

struct Batch {
  TIMSession* session = nullptr;
  // In the order the message store takes them.
  std::unique_lock<TBaseMutex> insertLock;
  std::unique_lock<TBaseMutex> dbLock;
  // The open database stays the same while dbLock is held; its login may end
  // meanwhile, and what is in the transaction is committed all the same.
  TDBManager* db = nullptr;
  std::vector<Event> events;
  std::vector<Push> pushes;  // handled again when the commit fails
  bool replaying = false;

  bool Open() const { return session != nullptr; }
  void Flush();
  // A thread that ends with its batch open still stores it.
  ~Batch() { Flush(); }
};

Batch& ThisThread() {
  thread_local Batch batch;
  return batch;
}

void RaiseNow(TIMSession& session, int id, const std::string& json) {
  // The server repeats a push under a new packet id until it sees an answer.
  if (IsNewMessageId(id)) session.RaiseEvent(_EVENT_COME_IMMESSAGE, 0, id, json);
}

void Batch::Flush() {
  Batch& batch = *this;
  if (!batch.Open()) return;
  TDBManager* db = batch.db;
  const bool committed = db && db->CommitTransaction(0);
  // Never leave the connection inside a transaction nobody will commit.
  if (!committed && db) db->RollbackTransaction(0);
  TIMSession& session = *batch.session;
  std::vector<Event> events = std::move(batch.events);
  std::vector<Push> pushes = std::move(batch.pushes);
  batch.events.clear();
  batch.pushes.clear();
  batch.session = nullptr;
  batch.db = nullptr;
  batch.dbLock = std::unique_lock<TBaseMutex>();
  batch.insertLock = std::unique_lock<TBaseMutex>();
  if (committed) {
    for (const Event& event : events) {
      TAccountScope scope(event.stamp);
      RaiseNow(session, event.id, event.json);
    }
    return;
  }
  // The pushes were answered already; the server will not send them again.
  batch.replaying = true;
  for (const Push& push : pushes) {
    TAccountScope scope(push.stamp);
    TMessageService::OnImPush(session, push.packet);
  }
  batch.replaying = false;
}

}  // namespace

bool TReceiveBatch::Join(TIMSession& session) {
  Batch& batch = ThisThread();
  if (batch.Open()) return true;
  if (batch.replaying) return false;
  std::unique_lock<TBaseMutex> insertLock(MessageInsertLock());
  std::unique_lock<TBaseMutex> dbLock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  if (!db || !db->BeginTransaction(0)) return false;
  batch.insertLock = std::move(insertLock);
  batch.dbLock = std::move(dbLock);
  batch.db = db;
  batch.session = &session;
  return true;
}

bool TReceiveBatch::IsOpen() { return ThisThread().Open(); }

void TReceiveBatch::Announce(TIMSession& session, int id, const std::string& json) {
  if (id <= 0 || json.empty()) return;
  Batch& batch = ThisThread();
  if (batch.Open())
    batch.events.push_back({id, json, TAccountScope::OfThread()});
  else
    RaiseNow(session, id, json);
}

void TReceiveBatch::Done(const TIMPacket& packet) {
  Batch& batch = ThisThread();
  if (!batch.Open()) return;
  batch.pushes.push_back({packet, TAccountScope::OfThread()});
  if (batch.pushes.size() >= static_cast<size_t>(kMaxPushes)) Flush();
}

void TReceiveBatch::Flush() { ThisThread().Flush(); }

void TReceiveBatch::Drain(TIMSession&) { Flush(); }
