#ifndef TESMO_BASE_TBASEMUTEX_H
#define TESMO_BASE_TBASEMUTEX_H

#include "base/TSingleObject.h"
#include "platform/mutex.h"

// The engine's one lock type: recursive, waited on without limit.
class TBaseMutex : public TSingleObject {
 public:
  TBaseMutex() = default;
  ~TBaseMutex() override = default;

  // The timeout is accepted for the callers' sake; every wait is unbounded.
  int Lock(int timeout = -1) {
    (void)timeout;
    m_mutex.lock();
    return 0;
  }
  int Unlock() {
    m_mutex.unlock();
    return 1;
  }
  bool TryLock() { return m_mutex.try_lock(); }

  // Lockable, so std::lock_guard / std::unique_lock work too.
  void lock() { m_mutex.lock(); }
  void unlock() { m_mutex.unlock(); }

 private:
  tesmo::RecursiveMutex m_mutex;
};

#endif
