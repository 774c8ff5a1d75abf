#include "services/TContactCache.h"

#include "base/TAutoLock.h"
#include "db/TDBManager.h"
#include "db/TRecordSet.h"

std::string TContactCache::KeyOf(const std::string& account) {
  size_t at = account.find('@');
  return at == std::string::npos ? account : account.substr(0, at);
}

int TContactCache::ReadContacts(TDBManager* db, TContactCache::Records* out) {
  if (!db) return -1;
  TRecordSet rows;
  // The query runs before the cache mutex is taken: the cache's lock may be taken
  // inside the database lock, never the other way round.
  if (!db->Exec("select userid,account,name,summary,logo,biglogo,isfriend,version,champflag "
                "from nq_contact",
                &rows, 1)) {
    return -1;
  }
  for (int i = 0; i < rows.GetRecordCount(); ++i) {
    TContactRecord r;
    r.account = rows.GetString(i, 1);
    r.name = rows.GetString(i, 2);
    r.summary = rows.GetString(i, 3);
    r.logo = rows.GetString(i, 4);
    r.biglogo = rows.GetString(i, 5);
    r.isfriend = rows.GetInt(i, 6);
    r.version = rows.GetInt(i, 7);
    r.champflag = rows.GetInt(i, 8);
    (*out)[KeyOf(r.account)] = std::move(r);
  }
  return rows.GetRecordCount();
}

int TContactCache::LoadFromDatabase(TDBManager* db) {
  TContactCache::Records loaded;
  int n = ReadContacts(db, &loaded);
  TAutoLock lock(m_mutex);
  for (auto& kv : loaded) m_records[kv.first] = std::move(kv.second);
  return n;
}

int TContactCache::ReloadFromDatabase(TDBManager* db) {
  TContactCache::Records loaded;
  int n = ReadContacts(db, &loaded);
  TAutoLock lock(m_mutex);
  m_records.swap(loaded);
  return n;
}

void TContactCache::Upsert(const TContactRecord& record) {
  TAutoLock lock(m_mutex);
  m_records[KeyOf(record.account)] = record;
}

void TContactCache::Set(const std::string& account, const std::string& name,
                        const std::string& summary, const std::string& logo,
                        const std::string& biglogo, int isfriend, int version, int champflag) {
  TContactRecord r;
  r.account = account;
  r.name = name;
  r.summary = summary;
  r.logo = logo;
  r.biglogo = biglogo;
  r.isfriend = isfriend;
  r.version = version;
  r.champflag = champflag;
  Upsert(r);
}

void TContactCache::ClearFriend(const std::string& account) {
  TAutoLock lock(m_mutex);
  auto it = m_records.find(KeyOf(account));
  if (it != m_records.end()) it->second.isfriend = 0;
}

std::optional<TContactRecord> TContactCache::Find(const std::string& account) const {
  TAutoLock lock(m_mutex);
  auto it = m_records.find(KeyOf(account));
  if (it == m_records.end()) return std::nullopt;
  return it->second;
}

std::optional<TContactRecord> TContactCache::FindFriend(const std::string& account) const {
  TAutoLock lock(m_mutex);
  auto it = m_records.find(KeyOf(account));
  if (it == m_records.end() || it->second.isfriend == 0) return std::nullopt;
  return it->second;
}

bool TContactCache::Contains(const std::string& account) const {
  TAutoLock lock(m_mutex);
  return m_records.count(KeyOf(account)) != 0;
}

void TContactCache::Clear() {
  TAutoLock lock(m_mutex);
  m_records.clear();
}

size_t TContactCache::Size() const {
  TAutoLock lock(m_mutex);
  return m_records.size();
}
