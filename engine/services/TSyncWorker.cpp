#include "services/TSyncWorker.h"

#include <cstdio>
#include <ctime>
#include <exception>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "base/TStopFlag.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSaveInfoType.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/THistorySync.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTextUtil.h"
#include "util/TTimeUtil.h"
#include "util/TTransId.h"

namespace {

constexpr char kFriendVersionKey[] = "FRIENDVER";
constexpr char kFirstGroupMsgIdKey[] = "FIRSTDOWNGROUPMSGID";
constexpr char kFirstDownloadKey[] = "FIRSTDOWNIM";
constexpr char kLoginTimeKey[] = "logintime";

// Shared by every login of the run; reset when another account's database opens.
struct SyncState {
  std::mutex mutex;
  int firstGroupUpdateDone = 0;
  int firstDownload = 0;
  std::map<std::string, long long> newMessageGroups;
};

SyncState& State() {
  static SyncState* state = new SyncState;  // used until the process ends
  return *state;
}

TAPIPacket* NewTask(int code, int id, const std::string& s1 = std::string(),
                    const std::string& s2 = std::string()) {
  TAPIPacket* task = new TAPIPacket;
  task->code = code;
  task->id = id;
  task->s1 = s1;
  task->s2 = s2;
  return task;
}

// Seconds of a local "YYYY-MM-DD hh:mm:ss"; -1 when it does not read as one.
long long LocalSeconds(const std::string& text) {
  struct tm t {};
  if (sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour,
             &t.tm_min, &t.tm_sec) != 6) {
    return -1;
  }
  t.tm_year -= 1900;
  t.tm_mon -= 1;
  t.tm_isdst = -1;
  return static_cast<long long>(mktime(&t));
}

// A group's baseline per line: the id, a blank, the group id.
std::string EncodeBaselines(const std::map<std::string, long long>& baselines) {
  std::string text;
  for (const auto& [groupid, id] : baselines) {
    if (groupid.find('\n') != std::string::npos) continue;
    text += std::to_string(id) + " " + groupid + "\n";
  }
  return text;
}

std::map<std::string, long long> DecodeBaselines(const std::string& text) {
  std::map<std::string, long long> baselines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    const size_t blank = line.find(' ');
    if (blank != std::string::npos && blank + 1 < line.size())
      baselines[line.substr(blank + 1)] = SqlLeadingNumber(line.substr(0, blank));
    start = end + 1;
  }
  return baselines;
}

}  // namespace

TSyncWorker::TSyncWorker(THttpRequestService& service) : m_service(service) {}

TSyncWorker::~TSyncWorker() { Stop(); }

int TSyncWorker::Start() {
  if (m_running.exchange(1)) return 1;
  m_thread = std::make_unique<TBaseThread>(&TSyncWorker::Entry, this);
  return 1;
}

void TSyncWorker::Stop() {
  m_running = 0;
  { std::lock_guard<std::mutex> lock(m_taskMutex); }
  m_taskArrived.notify_all();
  if (m_thread) m_thread->Join();
  m_thread.reset();
  std::deque<Task> left;
  {
    std::lock_guard<std::mutex> lock(m_taskMutex);
    left.swap(m_tasks);
  }
  for (const Task& task : left) delete task.packet;
}

void TSyncWorker::PostLoginTasks(int relogin) {
  PostTask(NewTask(kSyncTaskFriends, 0));
  PostTask(NewTask(kSyncTaskGroups, 0));
  PostTask(NewTask(kSyncTaskGroupMsgIds, relogin));
}

void TSyncWorker::PostTask(TAPIPacket* task) {
  if (!task) return;
  {
    std::lock_guard<std::mutex> lock(m_taskMutex);
    m_tasks.push_back({task, TAccountScope::OfThread()});
  }
  m_taskArrived.notify_all();
}

size_t TSyncWorker::QueuedCount() {
  std::lock_guard<std::mutex> lock(m_taskMutex);
  return m_tasks.size();
}

unsigned TSyncWorker::Entry(void* arg) {
  static_cast<TSyncWorker*>(arg)->Run();
  return 0;
}

bool TSyncWorker::TakeTask(Task* next) {
  std::unique_lock<std::mutex> lock(m_taskMutex);
  if (m_tasks.empty()) {
    // Wakes for a new task or a stop; otherwise looks at the engine's flag again.
    m_taskArrived.wait_for(lock, std::chrono::milliseconds(kIdleWaitMs),
                           [this] { return !m_tasks.empty() || !m_running.load(); });
  }
  if (m_tasks.empty() || !m_running.load()) return false;
  *next = m_tasks.front();
  m_tasks.pop_front();
  return true;
}

void TSyncWorker::Run() {
  while (m_running.load()) {
    if (IsEngineStopping()) {
      m_running = 0;
      break;
    }
    Task next{};
    if (!TakeTask(&next)) continue;
    std::unique_ptr<TAPIPacket> task(next.packet);
    // Each task works for the login it was queued for; the tasks of a login that is
    // over (a logout, a kick-out, another database) are dropped.
    TAccountScope scope(next.stamp);
    if (TAccountScope::IsLoginOver()) continue;
    task->state = kTaskState;
    try {
      RunTask(task.get());
    } catch (const std::exception&) {
      // A task that fails ends quietly, like any failed exchange.
    }
  }
}

void TSyncWorker::RunTask(TAPIPacket* task) {
  switch (task->code) {
    case kSyncTaskFriends:
      SyncFriends(m_service, nullptr);
      break;
    case kSyncTaskHistory:
      RunHistoryTask(task);
      break;
    case kSyncTaskHistoryEnd:
      FinishHistoryPass(*task);
      break;
    case kSyncTaskGroups: {
      SyncGroups();
      TServiceContext* core = TServiceContext::Instance();
      bool first = false;
      if (!TAccountScope::IsLoginOver()) {
        SyncState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        first = state.firstGroupUpdateDone == 0;
        state.firstGroupUpdateDone = 1;
      }
      if (first && core && core->GetLoginMode() != 0)
        m_service.RaiseEvent(_EVENT_REPORT_FIRSTGROUPUPDATE, 0, 0, "");
      m_service.RaiseEvent(_EVENT_REPORT_GROUPUPDATE, 0, 0, "");
      break;
    }
    case kSyncTaskGroupMsgIds:
      SyncGroupMsgIds();
      QueueHistoryTasks(task->id);
      break;
    default:
      break;
  }
}

void TSyncWorker::RunHistoryTask(TAPIPacket* task) {
  THistorySync history(m_service);
  const bool first = FirstDownload();
  // A first pass run again after one was cut short: a conversation that pass reached
  // goes on from its last id, as in a later pass; a newest page alone would skip
  // what came in between.
  if (first && THistorySync::GetLastHistoryId(task->s1) <= 0) {
    history.SyncUserHistory(task);
  } else if (task->s1.empty()) {
    history.SyncHistoryByLoginTime(task);
  } else {
    history.SyncGroupHistory(task);
  }
  // A group left short in a first pass gets no baseline at the pass's end; one-to-one
  // history left short keeps the pass a first one, so its newest page comes again.
  if (first && history.Incomplete()) {
    if (task->s1.empty())
      m_personIncomplete = true;
    else
      m_incompleteGroups.insert(task->s1);
  }
}

void TSyncWorker::FinishHistoryPass(const TAPIPacket& task) {
  {
    // The marks say the pass is done: written only while its login is current, so
    // a pass cut short by a logout, a kick-out, another database or a release runs
    // again in full at the account's next login. Under the database lock, so that
    // no logout comes in between.
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = TAccountScope::IsLoginOver() ? nullptr : ServiceDatabase();
    if (db) {
      for (const auto& [groupid, id] : DecodeBaselines(task.s1)) {
        if (!m_incompleteGroups.count(groupid)) THistorySync::SetLastHistoryId(groupid, id);
      }
      if (db->GetSaveInfo(kSaveInfoHistory, kFirstGroupMsgIdKey).empty())
        db->SetSaveInfo(kSaveInfoHistory, kFirstGroupMsgIdKey, "1");
      if (!m_personIncomplete && db->GetSaveInfo(kSaveInfoHistory, kFirstDownloadKey).empty())
        db->SetSaveInfo(kSaveInfoHistory, kFirstDownloadKey, "1");
    }
  }
  m_incompleteGroups.clear();
  m_personIncomplete = false;
  m_service.RaiseEvent(_EVENT_COME_FINISHIMHISTORY, 0, 0, "");
  if (TServiceContext* core = TServiceContext::Instance()) core->PrefetchServerAddresses();
}

void TSyncWorker::SyncFriends(THttpRequestService& service, TAPIPacket* packet) {
  TServiceContext* core = TServiceContext::Instance();
  TDBManager* db = ServiceDatabase();
  const std::string stored = db ? db->GetSaveInfo(kSaveInfoSession, kFriendVersionKey) : "";
  if (!packet && !stored.empty() && core && SqlLeadingNumber(stored) == core->GetFriendVersion()) {
    service.RaiseEvent(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
    return;
  }
  TAPIPacket own;
  own.code = _EVENT_REPORT_FRIENDNOTIFY;
  own.state = kTaskState;
  TAPIPacket* p = packet ? packet : &own;
  const std::string body =
      JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                          JsonTextStringField("userid", core ? core->GetUserID() : "") +
                          JsonTextIntField("version", SqlLeadingNumber(stored)));
  service.Post(p, service.GetServerUrl(kFriendListPath, kUserServer), body);
  service.RaiseEvent(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, p->s4);
}

void TSyncWorker::SyncGroupMsgIds() {
  SyncState& state = State();
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.newMessageGroups.clear();
  }
  m_firstBaselines.clear();
  TDBManager* db = ServiceDatabase();
  if (!db) return;
  // Until a first pass has ended, every pass is a first one.
  const bool firstRun = db->GetSaveInfo(kSaveInfoHistory, kFirstGroupMsgIdKey).empty();

  std::map<std::string, long long> stored;
  std::map<std::string, std::string> groupOfKey;
  std::string keys;
  {
    TRecordSet rows;
    if (!db->Exec("select groupid from nq_group where groupstate=0", &rows)) return;
    for (int i = 0; i < rows.GetRecordCount(); ++i) {
      const std::string groupid = rows.GetString(i, 0);
      const std::string key = GroupKey(groupid);
      if (key.empty() || groupOfKey.count(key)) continue;
      stored[key] = THistorySync::GetLastHistoryId(groupid);
      groupOfKey[key] = groupid;
      keys += (keys.empty() ? "" : ",") + key;
    }
  }
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.newMessageGroups = stored;
  }
  if (keys.empty()) return;

  TAPIPacket packet;
  packet.code = _EVENT_REPORT_GROUPMSGID;
  packet.state = kTaskState;
  const std::string body = JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                                               JsonTextStringField("groupids", keys));
  if (m_service.Post(&packet, m_service.GetServerUrl("/im/message/group/getmsgid.do", kImServer),
                     body) != 0 ||
      packet.s4.empty()) {
    return;
  }
  Json::Value root = TJsonHelper::Parse(packet.s4);
  Json::Value result = TJsonHelper::GetValue(root, "result");
  const std::string list = TJsonHelper::GetString(result, "groupids");
  if (!result.isObject() || list.empty()) return;

  std::vector<std::string> items;
  SplitString(list, ',', items);
  std::map<std::string, long long> kept;
  for (const std::string& item : items) {
    const size_t bar = item.find('|');
    if (bar == std::string::npos) continue;
    const std::string key = Trim(item.substr(0, bar));
    const long long serverId = SqlLeadingNumber(item.substr(bar + 1));
    if (firstRun) {
      // A new account starts from the present: no older group history is fetched
      // once its first pass has ended.
      auto group = groupOfKey.find(key);
      if (group != groupOfKey.end()) m_firstBaselines[group->second] = serverId;
    } else {
      auto known = stored.find(key);
      if (known != stored.end() && known->second < serverId) kept[key] = known->second;
    }
  }
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.newMessageGroups = kept;
  }
  m_service.RaiseEvent(_EVENT_REPORT_GROUPMSGID, static_cast<int>(kept.size()), 0, "");
}

void TSyncWorker::QueueHistoryTasks(int argument) {
  TDBManager* db = ServiceDatabase();
  SyncState& state = State();
  // What a pass whose end task never ran (its login ended) left behind.
  m_incompleteGroups.clear();
  m_personIncomplete = false;
  if (db) {
    const bool first = db->GetSaveInfo(kSaveInfoHistory, kFirstDownloadKey).empty();
    // A first pass run again after one was cut short keeps the time of the first.
    if (first && db->GetSaveInfo(kSaveInfoTime, kLoginTimeKey).empty())
      db->SetSaveInfo(kSaveInfoTime, kLoginTimeKey, GetLocalTimeString());
    std::lock_guard<std::mutex> lock(state.mutex);
    state.firstDownload = first ? 1 : 0;
  }
  const std::string loginTime = db ? db->GetSaveInfo(kSaveInfoTime, kLoginTimeKey) : "";
  PostTask(NewTask(kSyncTaskHistory, argument, "", loginTime));

  TRecordSet rows;
  if (db && db->Exec("select groupid,entrytime from nq_group  where groupstate=0 order by groupid "
                     "desc LIMIT " +
                         std::to_string(kMaxHistoryGroups),
                     &rows)) {
    const int first = FirstDownload();
    const std::map<std::string, long long> newer = NewMessageGroups();
    for (int i = 0; i < rows.GetRecordCount(); ++i) {
      const std::string groupid = rows.GetString(i, 0);
      const std::string key = GroupKey(groupid);
      if (key.empty() || (!first && !newer.count(key))) continue;
      PostTask(
          NewTask(kSyncTaskHistory, argument, groupid, LaterTime(loginTime, rows.GetString(i, 1))));
    }
  }
  // The end task marks the pass done, with the first pass's group baselines.
  PostTask(NewTask(kSyncTaskHistoryEnd, argument, EncodeBaselines(m_firstBaselines)));
  m_firstBaselines.clear();
}

std::string TSyncWorker::LaterTime(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  return LocalSeconds(first) >= LocalSeconds(second) ? first : second;
}

std::string TSyncWorker::GroupKey(const std::string& groupid) {
  const size_t at = groupid.find('@');
  return at == std::string::npos ? std::string() : groupid.substr(0, at);
}

int TSyncWorker::FirstGroupUpdateDone() {
  SyncState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.firstGroupUpdateDone;
}

int TSyncWorker::FirstDownload() {
  SyncState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.firstDownload;
}

std::map<std::string, long long> TSyncWorker::NewMessageGroups() {
  SyncState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.newMessageGroups;
}

void TSyncWorker::ResetAccountState() {
  SyncState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.firstGroupUpdateDone = 0;
  state.firstDownload = 0;
  state.newMessageGroups.clear();
}
