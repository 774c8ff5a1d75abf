#ifndef TESMO_BASE_TAUTOLOCK_H
#define TESMO_BASE_TAUTOLOCK_H

#include "base/TBaseMutex.h"

// Holds a TBaseMutex for the span of a block, released on every path out.
class TAutoLock {
 public:
  explicit TAutoLock(TBaseMutex* mutex) : m_mutex(mutex) {
    if (m_mutex) m_mutex->Lock(-1);
  }
  explicit TAutoLock(TBaseMutex& mutex) : TAutoLock(&mutex) {}
  ~TAutoLock() {
    if (m_mutex) m_mutex->Unlock();
  }
  TAutoLock(const TAutoLock&) = delete;
  TAutoLock& operator=(const TAutoLock&) = delete;

 private:
  TBaseMutex* m_mutex;
};

#endif
