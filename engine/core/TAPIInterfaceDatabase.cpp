// Facade: the account database (open, switch, SQL exports and record-set
// handles) and the methods that answer from it or from the contact cache.
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>

#include <array>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "TAPIInterface.h"
#include "base/TAutoLock.h"
#include "core/TEngineCore.h"
#include "core/TStringQueue.h"
#include "db/SqlText.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSaveInfoType.h"
#include "db/TSqliteDB.h"
#include "services/TContactCache.h"
#include "services/TMemberPass.h"
#include "services/TMessageIds.h"
#include "services/TMessageStore.h"
#include "services/TSendOutcomes.h"
#include "services/TSenderDetails.h"
#include "services/TSyncWorker.h"

namespace {

TEngineCore* Core() { return TEngineCore::Instance(); }

// Managers replaced by a database switch. Their connections are closed at once;
// the objects live on until the facade ends, so a thread that fetched the old
// pointer just before the switch meets a closed connection (every call fails
// with 0), never freed memory. Guarded by the database lock.
std::vector<std::unique_ptr<TDBManager>>& RetiredManagers() {
  static auto* retired = new std::vector<std::unique_ptr<TDBManager>>;
  return *retired;
}

// Record-set handles given to the caller. A handle not in the set (never issued,
// already released) is answered like handle 0 instead of being dereferenced.
struct RecordSetHandles {
  // Not the engine's recursive lock: nothing locks it twice, and every field
  // read of a record set takes it, so the plain mutex's cheaper path counts.
  std::mutex mutex;
  std::set<TRecordSet*> live;
};

RecordSetHandles& Handles() {
  static auto* handles = new RecordSetHandles;
  return *handles;
}

TRecordSet* FindHandle(long handle) {
  if (handle == 0) return nullptr;
  auto* set = reinterpret_cast<TRecordSet*>(handle);
  return Handles().live.count(set) ? set : nullptr;
}

// Field texts of DBGetStrValue: like the result ring, a copy per call that stays
// valid for at least the next 31 results of this thread; the copies reuse their
// buffers, so reading a list of many rows allocates nothing per field. A large
// buffer is given back rather than kept for the thread's life.
char* FieldCopy(const char* text, size_t length) {
  constexpr size_t kSlots = 32;
  constexpr size_t kKeptCapacity = 64 * 1024;
  if (length == 0) return TStringQueue::EmptyText();
  thread_local std::array<std::string, kSlots> slots;
  thread_local size_t next = 0;
  std::string& slot = slots[next];
  next = (next + 1) % kSlots;
  if (slot.capacity() > kKeptCapacity && length <= kKeptCapacity) std::string().swap(slot);
  slot.assign(text, length);
  return slot.data();
}

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Moves an unreadable database (and its journal files) aside under a new name, so
// the account gets a fresh file while the old bytes are kept for recovery.
bool SetAside(const std::string& path) {
  time_t now = time(nullptr);
  struct tm t {};
  localtime_r(&now, &t);
  char stamp[32];
  strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &t);
  std::string aside = path + ".broken-" + stamp;
  for (int n = 1; PathExists(aside); ++n) {
    aside = path + ".broken-" + stamp + "-" + std::to_string(n);
  }
  if (rename(path.c_str(), aside.c_str()) != 0) return false;
  for (const char* suffix : {"-wal", "-shm", "-journal"}) {
    std::string from = path + suffix;
    if (PathExists(from)) rename(from.c_str(), (aside + suffix).c_str());
  }
  printf("Database %s is not readable; kept as %s\n", path.c_str(), aside.c_str());
  return true;
}

int FailCreate() {
  printf("Create Database error\n");
  fflush(stdout);
  return -2;
}

}  // namespace

TDBManager* TAPIInterface::GetDatabaseManager() const {
  TAutoLock lock(DatabaseMutex());
  return m_database;
}

void TAPIInterface::SetDatabaseManager(TDBManager* manager) {
  TAutoLock lock(DatabaseMutex());
  if (manager == m_database) return;
  std::unique_ptr<TDBManager> old(m_database);
  // Work started for the account that was open stores nothing from now on, here or
  // in a file opened later.
  if (old) TAccountScope::NewDatabase();
  m_database = manager;
  if (old) old->Close();
  if (manager) {
    if (old) RetiredManagers().push_back(std::move(old));
  } else {
    // The facade is ending: nothing uses any manager any more.
    RetiredManagers().clear();
  }
}

int TAPIInterface::SetDatabase(const char* path) {
  if (!path || !*path) return -1;
  static TBaseMutex switching;  // one open or switch at a time
  TAutoLock switchLock(switching);
  {
    TAutoLock lock(DatabaseMutex());
    if (m_database && m_database->GetPath() == path) return 1;
  }
  try {
    auto db = std::make_unique<TDBManager>();
    if (!db->Open(path)) {
      // Only a file SQLite calls no database (or corrupt) is replaced, and it is kept
      // aside; a busy, read-only or unreachable file is left exactly as it is.
      if (db->GetOpenError() != TDBManager::kOpenNotADatabase || !SetAside(path)) {
        return FailCreate();
      }
      db = std::make_unique<TDBManager>();
      if (!db->Open(path)) return FailCreate();
    }
    // Messages still being sent when the program last stopped count as failed; not
    // those whose post went out while another file was open: they get their answer.
    std::string leftover = "update nq_message set sendstate=0 where sendstate=2";
    const std::vector<int> pending = TSendOutcomes::PendingIds(path);
    if (!pending.empty()) {
      std::string ids;
      for (int id : pending) ids += (ids.empty() ? "" : ",") + std::to_string(id);
      leftover += " and id not in (" + ids + ")";
    }
    db->Exec(leftover);
    TDBManager* opened = db.release();
    // Outcomes that come in until the new file is ready (its settings loaded) wait
    // for their own file; those kept for this one are written then, on every way out.
    TSendOutcomes::FileClosing();
    struct Ready {
      std::string path;
      ~Ready() {
        try {
          TSendOutcomes::FileOpened(path);
        } catch (...) {
        }
      }
    } ready{path};
    SetDatabaseManager(opened);
    opened->Exec("update nq_contact set mobile=''");
    // Local ids restart with every database.
    ClearMessageIds();
    // The background sync's state belongs to the account that was open.
    TSyncWorker::ResetAccountState();
    TMemberPass::Clear();
    TSenderDetails::Clear();
    if (TEngineCore* core = Core()) {
      core->LoadConfig();
      core->GetContactCache()->ReloadFromDatabase(opened);
      core->MigrateAccountIds();
    }
    return 2;
  } catch (...) {
    return FailCreate();
  }
}

int TAPIInterface::CreateDatabase(const char* path) {
  if (!path || !*path) return 0;
  try {
    TSqliteDB db;
    if (!db.Open(path)) return 0;
    db.Close();
    return 1;
  } catch (...) {
    return 0;
  }
}

long TAPIInterface::DBExecSql(const char* sql) {
  try {
    TAutoLock lock(DatabaseMutex());
    if (!m_database) return 0;
    TRecordSet discarded;
    return m_database->Exec(sql, &discarded, 1);
  } catch (...) {
    return 0;
  }
}

long TAPIInterface::DBSelectSql(const char* sql) {
  try {
    auto records = std::make_unique<TRecordSet>();
    {
      TAutoLock lock(DatabaseMutex());
      if (!m_database || !m_database->Exec(sql, records.get(), 1)) return 0;
    }
    RecordSetHandles& handles = Handles();
    std::lock_guard<std::mutex> lock(handles.mutex);
    TRecordSet* set = records.release();
    handles.live.insert(set);
    return reinterpret_cast<long>(set);
  } catch (...) {
    return 0;
  }
}

int TAPIInterface::DBGetRecordCount(long set) {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  TRecordSet* records = FindHandle(set);
  return records ? records->GetRecordCount() : 0;
}

int TAPIInterface::DBGetFieldCount(long set) {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  TRecordSet* records = FindHandle(set);
  return records ? records->GetFieldCount() : 0;
}

int TAPIInterface::DBGetIntValue(long set, int row, int col) {
  std::lock_guard<std::mutex> lock(Handles().mutex);
  TRecordSet* records = FindHandle(set);
  return records ? records->GetInt(row, col) : 0;
}

char* TAPIInterface::DBGetStrValue(long set, int row, int col) {
  try {
    std::lock_guard<std::mutex> lock(Handles().mutex);
    TRecordSet* records = FindHandle(set);
    if (!records) return TStringQueue::EmptyText();
    size_t length = 0;
    const char* text = records->GetText(row, col, &length);
    return FieldCopy(text, length);
  } catch (...) {
    return TStringQueue::EmptyText();
  }
}

void TAPIInterface::DBRelease(long set) {
  TRecordSet* records = nullptr;
  {
    RecordSetHandles& handles = Handles();
    std::lock_guard<std::mutex> lock(handles.mutex);
    records = FindHandle(set);
    if (records) handles.live.erase(records);
  }
  delete records;
}

int TAPIInterface::IsLogin() {
  TAutoLock lock(DatabaseMutex());
  if (!Core() || !m_database) return 0;
  return static_cast<int>(SqlLeadingNumber(m_database->GetSaveInfo(kSaveInfoSession, "ISLOGIN")));
}

char* TAPIInterface::GetUCUserID() {
  thread_local char buffer[512];
  buffer[0] = '\0';
  TAutoLock lock(DatabaseMutex());
  if (!Core() || !m_database) return buffer;
  try {
    return FillResultBuffer(buffer, sizeof(buffer),
                            m_database->GetSaveInfo(kSaveInfoSession, "ucuserid"));
  } catch (...) {
    return buffer;
  }
}

char* TAPIInterface::GetUserInfo(std::string account, int field) {
  TEngineCore* core = Core();
  if (!core) return TStringQueue::EmptyText();
  try {
    // Only the asked field is copied: a list of conversations asks three
    // fields of every person.
    std::string text;
    const bool known = core->GetContactCache()->Visit(account, [&](const TContactRecord& record) {
      switch (field) {
        case 0:
          text = record.name;
          break;
        case 1:
          text = record.summary;
          break;
        case 2:
          text = record.logo;
          break;
        case 3:
          text = record.biglogo;
          break;
        case 4:
          text = std::to_string(record.champflag);
          break;
        default:
          break;
      }
    });
    return known ? PushResult(text) : TStringQueue::EmptyText();
  } catch (...) {
    return TStringQueue::EmptyText();
  }
}

int TAPIInterface::ExistUser(std::string account) {
  TEngineCore* core = Core();
  if (!core) return 0;
  try {
    return core->GetContactCache()->Contains(account) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int TAPIInterface::DeleteMessage(int msgId) {
  try {
    return TMessageStore::DeleteMessage(msgId);
  } catch (...) {
    return 0;
  }
}

int TAPIInterface::ClearAtFlag(const char* peer) {
  try {
    return TMessageStore::ClearAtFlag(peer ? peer : "");
  } catch (...) {
    return 0;
  }
}

int TAPIInterface::SearchAtMsg(const char* peer, int atFlag) {
  try {
    return TMessageStore::SearchAtMsg(peer ? peer : "", atFlag);
  } catch (...) {
    return 0;
  }
}
