#include "services/TMessageInsertLock.h"

TBaseMutex& MessageInsertLock() {
  static TBaseMutex* mutex = new TBaseMutex;  // never destroyed
  return *mutex;
}
