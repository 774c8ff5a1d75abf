#ifndef TESMO_BASE_TBASETHREAD_H
#define TESMO_BASE_TBASETHREAD_H

#include <atomic>
#include <thread>

#include "base/TSingleObject.h"
#include "platform/thread.h"

// A thread that starts at construction. Threads are never killed: the owner makes
// the loop end (the engine's stop flag or its own) and then joins it; the destructor
// joins as a last resort so no thread outlives the objects it uses.
class TBaseThread : public TSingleObject {
 public:
  using Entry = tesmo::ThreadEntry;

  TBaseThread(Entry entry, void* arg, unsigned flags = 0, unsigned stackSize = 0);
  ~TBaseThread() override;

  // Waits until the entry function has returned. Safe to call twice; a thread
  // joining itself returns at once.
  void Join();
  bool Close() override;
  // Forced termination does not exist here; always false.
  bool Terminate(unsigned exitCode);
  bool IsRunning() const { return m_running.load(); }
  unsigned ThreadId() const { return m_threadId; }

 private:
  static void Run(TBaseThread* self);

  Entry m_entry;
  void* m_arg;
  std::atomic<unsigned> m_threadId{0};
  std::atomic<bool> m_running{true};
  std::thread m_thread;
};

#endif
