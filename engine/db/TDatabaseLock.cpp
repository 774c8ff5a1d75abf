#include "db/TDatabaseLock.h"

TBaseMutex& DatabaseMutex() {
  // Built on first use and never destroyed, so statements run from exit-time
  // destructors still find it.
  static TBaseMutex* mutex = new TBaseMutex;
  return *mutex;
}

void LockDatabase() { DatabaseMutex().Lock(-1); }

void UnlockDatabase() { DatabaseMutex().Unlock(); }
