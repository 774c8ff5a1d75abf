// After every successful login the engine brings the local database up to date in
// the background: friends, groups, the newest group message ids and the history
// since the last run. One thread works through a list of small tasks, one at a time,
// and reports through events raised on the request service.
#ifndef TESMO_SERVICES_TSYNCWORKER_H
#define TESMO_SERVICES_TSYNCWORKER_H

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "base/TBaseThread.h"
#include "db/TAccountScope.h"
#include "net/TBackgroundWorker.h"

class TAPIPacket;
class THttpRequestService;

// Task kinds (the code of a task packet).
enum TSyncTask {
  kSyncTaskFriends = 0,
  kSyncTaskHistory = 1,  // s1 the group, "" for one-to-one; s2 the time to start from
  kSyncTaskHistoryEnd = 2,
  kSyncTaskGroups = 3,
  kSyncTaskGroupMsgIds = 4,  // then queues the history pass
};

class TSyncWorker : public TBackgroundWorker {
 public:
  // The task state set when the worker takes a task: its requests use client slot 4.
  static constexpr int kTaskState = 4;
  static constexpr int kIdleWaitMs = 3000;
  static constexpr int kMaxHistoryGroups = 100;

  explicit TSyncWorker(THttpRequestService& service);
  ~TSyncWorker() override;
  TSyncWorker(const TSyncWorker&) = delete;
  TSyncWorker& operator=(const TSyncWorker&) = delete;

  int Start() override;
  // Ends and joins the thread and frees the tasks never taken.
  void Stop() override;
  // Friends, groups, group message ids (and with them the history pass).
  void PostLoginTasks(int relogin) override;
  // Takes ownership of the task. It belongs to the login of the calling thread
  // (TAccountScope): once that login is over the task is dropped untaken; one that
  // runs already stores nothing more once another database is open.
  void PostTask(TAPIPacket* task);
  size_t QueuedCount();

  // The friend list: skipped when the stored version is the login reply's, unless a
  // packet (the internal request 100) asks for it. Event 100010 either way.
  static void SyncFriends(THttpRequestService& service, TAPIPacket* packet);
  // The groups and the own membership from the group server; 1 when the reply was
  // stored (event 100009 raised), else 0.
  int SyncGroups();
  // The groups with newer messages on the server than here; event 100017. On an
  // account's first pass it only notes the server's newest ids: the pass's end
  // stores them.
  void SyncGroupMsgIds();
  // Queues the history tasks of one pass and its end.
  void QueueHistoryTasks(int argument);

  // The later of two "YYYY-MM-DD hh:mm:ss" local times; an empty one gives the other.
  static std::string LaterTime(const std::string& first, const std::string& second);
  // The text before a group id's first "@"; "" when there is none.
  static std::string GroupKey(const std::string& groupid);

  // Process-wide state of the synchronisation, kept across logins of one run.
  static int FirstGroupUpdateDone();
  static int FirstDownload();
  static std::map<std::string, long long> NewMessageGroups();
  // Forgets it all: another account's database was opened.
  static void ResetAccountState();

 private:
  static unsigned Entry(void* arg);
  void Run();
  struct Task {
    TAPIPacket* packet;
    TAccountScope::Stamp stamp;
  };

  bool TakeTask(Task* next);
  void RunTask(TAPIPacket* task);
  void RunHistoryTask(TAPIPacket* task);
  void FinishHistoryPass(const TAPIPacket& task);

  THttpRequestService& m_service;
  std::atomic<int> m_running{0};
  std::mutex m_taskMutex;  // guards m_tasks; never held while a task runs
  std::condition_variable m_taskArrived;
  std::deque<Task> m_tasks;
  std::unique_ptr<TBaseThread> m_thread;
  // The server's newest id of each group, noted by a first pass's SyncGroupMsgIds
  // for its end task; used on the worker's thread only.
  std::map<std::string, long long> m_firstBaselines;
  // The groups whose first download failed in part, until a pass's end: they get no
  // baseline, so the next pass fetches them as groups with newer messages.
  std::set<std::string> m_incompleteGroups;
  bool m_personIncomplete = false;
};

#endif
