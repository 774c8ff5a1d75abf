// The account database that the services write to: the engine core's, or the
// facade's when the core is gone (a database may be set before Init).
#ifndef TESMO_SERVICES_TSERVICEDATABASE_H
#define TESMO_SERVICES_TSERVICEDATABASE_H

#include <string>

class TContactCache;
class TDBManager;

// Null when no database is set, and for work of an account whose time is over
// (TAccountScope): take the database lock first, then ask, then write.
TDBManager* ServiceDatabase();
// The engine core's contact cache; null without a core, and like ServiceDatabase
// for work of an account whose time is over.
TContactCache* ServiceContactCache();

// Ids are written into statements without quotes: true for plain decimal digits;
// anything else is refused and logged with where it came from.
bool AcceptSqlId(const std::string& id, const char* where);

#endif
