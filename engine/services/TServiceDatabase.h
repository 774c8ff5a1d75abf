// How a service reaches the account database, and the checks of what it writes there.
#ifndef TESMO_SERVICES_TSERVICEDATABASE_H
#define TESMO_SERVICES_TSERVICEDATABASE_H

#include <string>

class TContactCache;
class TDBManager;

// The database of the account this thread works for (its TAccountScope), the one
// path of every service to it: the file the facade has open (it owns the database,
// also before Init and after Release), or null when none is open or when the
// thread's account is no longer the open one. Take the database lock first, then
// ask, then write.
TDBManager* ServiceDatabase();
// The engine core's contact cache; null without a core, and like ServiceDatabase
// for work of an account whose time is over.
TContactCache* ServiceContactCache();

// Ids are written into statements without quotes: true for plain decimal digits;
// anything else is refused and logged with where it came from.
bool AcceptSqlId(const std::string& id, const char* where);

#endif
