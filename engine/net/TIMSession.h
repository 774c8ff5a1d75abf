#ifndef TESMO_NET_TIMSESSION_H
#define TESMO_NET_TIMSESSION_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "core/TBaseThread.h"

class TAPIPacket;

// Keeps the engine registered with the IM server. Commands from the engine core:
// 1 log in, 2 unregister, 3 network up, 4 network down.
class TIMSession {
 public:
  using EventFunction = void (*)(TAPIPacket*);

  explicit TIMSession(EventFunction eventFunction);
  ~TIMSession();
  TIMSession(const TIMSession&) = delete;
  TIMSession& operator=(const TIMSession&) = delete;

  int Start();
  void Stop();
  void PostCommand(int command);

 private:
  static unsigned WorkerEntry(void* arg);
  void WorkerLoop();
  void RunCommand(int command);

  EventFunction m_eventFunction;
  std::atomic<int> m_started{0};
  std::atomic<bool> m_stop{false};
  std::mutex m_commandMutex;
  std::condition_variable m_commandCond;
  std::deque<int> m_commands;
  std::unique_ptr<TBaseThread> m_worker;
};

#endif
