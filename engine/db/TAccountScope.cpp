#include "db/TAccountScope.h"

#include <atomic>

#include "base/TAutoLock.h"
#include "db/TDatabaseLock.h"

namespace {
std::atomic<uint64_t> g_database{1};
std::atomic<uint64_t> g_login{1};
thread_local bool t_scoped = false;
thread_local TAccountScope::Stamp t_stamp;
}  // namespace

TAccountScope::TAccountScope(const Stamp& stamp) : m_hadScope(t_scoped), m_previous(t_stamp) {
  t_scoped = true;
  t_stamp = stamp;
}

TAccountScope::~TAccountScope() {
  t_scoped = m_hadScope;
  t_stamp = m_previous;
}

TAccountScope::Stamp TAccountScope::Current() {
  Stamp stamp;
  stamp.database = g_database.load();
  stamp.login = g_login.load();
  return stamp;
}

TAccountScope::Stamp TAccountScope::OfThread() { return t_scoped ? t_stamp : Current(); }

void TAccountScope::NewDatabase() {
  TAutoLock lock(DatabaseMutex());
  ++g_database;
  ++g_login;
}

void TAccountScope::EndLogin() { ++g_login; }

bool TAccountScope::IsStale() { return t_scoped && t_stamp.database != g_database.load(); }

bool TAccountScope::IsLoginOver() { return t_scoped && t_stamp.login != g_login.load(); }
