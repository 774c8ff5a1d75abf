// Work started for one login stores only into the database that was open for it.
//
// Two counters: the database one moves when another database is set; the login one
// moves with it and also at a logout or a kick-out. Work that outlives its start (a
// queued request, a background task, a download in flight) runs inside a scope of
// the stamp it was started with. Once its login is over, what is still queued for
// it is dropped and it raises no more events; once its database is no longer the
// open one, the services find no database and no contact cache for it, so an
// earlier login never writes into the file of a later one, nor the reverse.
#ifndef TESMO_DB_TACCOUNTSCOPE_H
#define TESMO_DB_TACCOUNTSCOPE_H

#include <cstdint>

class TAccountScope {
 public:
  struct Stamp {
    uint64_t database = 0;
    uint64_t login = 0;
  };

  // The thread works for stamp until the scope ends; scopes nest.
  explicit TAccountScope(const Stamp& stamp);
  ~TAccountScope();
  TAccountScope(const TAccountScope&) = delete;
  TAccountScope& operator=(const TAccountScope&) = delete;

  static Stamp Current();
  // The stamp of this thread's scope; the current one outside any scope.
  static Stamp OfThread();
  // Another database was set: the work of the one before stores nothing more. Takes
  // the database lock, so a write that holds it is finished first and the next one
  // sees the change.
  static void NewDatabase();
  // A logout or a kick-out: the login's queued work is dropped.
  static void EndLogin();
  // True when this thread works for a database that is no longer the open one. Ask
  // it under the database lock before a write, so that no switch comes in between.
  static bool IsStale();
  // True when this thread works for a login that is over (also after IsStale).
  static bool IsLoginOver();

 private:
  bool m_hadScope;
  Stamp m_previous;
};

#endif
