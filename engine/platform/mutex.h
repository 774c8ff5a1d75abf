// Recursive mutex with unbounded waits: the owning thread may lock again without
// blocking (the callback road and the database batches rely on it).
#ifndef TESMO_PLATFORM_MUTEX_H
#define TESMO_PLATFORM_MUTEX_H

#include <pthread.h>

namespace tesmo {

class RecursiveMutex {
 public:
  RecursiveMutex() {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
  }
  ~RecursiveMutex() { pthread_mutex_destroy(&m_mutex); }
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  void lock() { pthread_mutex_lock(&m_mutex); }
  void unlock() { pthread_mutex_unlock(&m_mutex); }
  bool try_lock() { return pthread_mutex_trylock(&m_mutex) == 0; }

 private:
  pthread_mutex_t m_mutex;
};

}  // namespace tesmo

#endif
