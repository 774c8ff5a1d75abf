#ifndef TESMO_DB_TDATABASELOCK_H
#define TESMO_DB_TDATABASELOCK_H

#include "base/TBaseMutex.h"

// The one process-wide database lock (recursive). Every statement that asks for
// the lock holds it for one exec; batches hold it across begin and commit. A thread
// that keeps using the current database manager across several calls holds it too,
// so a database switch cannot close the connection under it.
TBaseMutex& DatabaseMutex();
void LockDatabase();
void UnlockDatabase();

#endif
