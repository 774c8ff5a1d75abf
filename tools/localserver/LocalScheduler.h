// Runs tasks after a pause on one thread of its own (scripted replies, delayed pushes).
#ifndef TESMO_TOOLS_LOCALSERVER_LOCALSCHEDULER_H
#define TESMO_TOOLS_LOCALSERVER_LOCALSCHEDULER_H

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

class LocalScheduler {
 public:
  LocalScheduler();
  ~LocalScheduler();  // drops what is still waiting, joins the thread
  LocalScheduler(const LocalScheduler&) = delete;
  LocalScheduler& operator=(const LocalScheduler&) = delete;

  void After(int delayMs, std::function<void()> task);
  void Stop();

 private:
  void Run();

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::multimap<std::chrono::steady_clock::time_point, std::function<void()>> m_tasks;
  bool m_stop = false;
  std::thread m_thread;
};

#endif
