#include "net/TIMSession.h"

#include <chrono>

#include "TAPIInterface.h"
#include "core/TStopFlag.h"

TIMSession::TIMSession(EventFunction eventFunction) : m_eventFunction(eventFunction) {}

TIMSession::~TIMSession() { Stop(); }

int TIMSession::Start() {
  int expected = 0;
  if (!m_started.compare_exchange_strong(expected, 1)) return 1;
  m_stop = false;
  m_worker = std::make_unique<TBaseThread>(&TIMSession::WorkerEntry, this);
  return 1;
}

void TIMSession::Stop() {
  m_stop = true;
  m_commandCond.notify_all();
  if (m_worker) m_worker->Join();
  m_worker.reset();
  m_started = 0;
}

void TIMSession::PostCommand(int command) {
  {
    std::lock_guard<std::mutex> lock(m_commandMutex);
    m_commands.push_back(command);
  }
  m_commandCond.notify_one();
}

unsigned TIMSession::WorkerEntry(void* arg) {
  static_cast<TIMSession*>(arg)->WorkerLoop();
  return 0;
}

void TIMSession::WorkerLoop() {
  while (!m_stop && !IsEngineStopping()) {
    int command = 0;
    {
      std::unique_lock<std::mutex> lock(m_commandMutex);
      m_commandCond.wait_for(lock, std::chrono::milliseconds(100),
                             [this] { return m_stop.load() || !m_commands.empty(); });
      if (m_stop || m_commands.empty()) continue;
      command = m_commands.front();
      m_commands.pop_front();
    }
    RunCommand(command);
  }
}

void TIMSession::RunCommand(int command) { (void)command; }
