#ifndef TESMO_SERVICES_TMESSAGEINSERTLOCK_H
#define TESMO_SERVICES_TMESSAGEINSERTLOCK_H

#include "base/TBaseMutex.h"

// Held by the sent and the received message inserts from the insert statement
// through the conversation upkeep, so the id query after an insert sees its own
// row. Take it before the database lock, never while holding it.
TBaseMutex& MessageInsertLock();

#endif
