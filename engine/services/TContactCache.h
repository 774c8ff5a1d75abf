#ifndef TESMO_SERVICES_TCONTACTCACHE_H
#define TESMO_SERVICES_TCONTACTCACHE_H

#include <optional>
#include <string>
#include <unordered_map>

#include "base/TAutoLock.h"
#include "base/TBaseMutex.h"
#include "services/TContactRecord.h"

class TDBManager;

// The known users of the open account, by the part of the account before its first
// "@" (so "123@x" and "123" are the same user). Readers get copies: a record may be
// rewritten by another thread at any time.
class TContactCache {
 public:
  TContactCache() = default;
  TContactCache(const TContactCache&) = delete;
  TContactCache& operator=(const TContactCache&) = delete;

  static std::string KeyOf(const std::string& account);

  // Adds or overwrites a record for every nq_contact row; records not in the table
  // stay. Returns the number of rows read, -1 when the query failed.
  int LoadFromDatabase(TDBManager* db);
  // Replaces the whole cache with the database's contacts in one step, so readers
  // never see another account's users or an empty cache in between. Returns as
  // LoadFromDatabase; on a failed query the cache ends empty.
  int ReloadFromDatabase(TDBManager* db);
  void Upsert(const TContactRecord& record);
  void Set(const std::string& account, const std::string& name, const std::string& summary,
           const std::string& logo, const std::string& biglogo, int isfriend, int version,
           int champflag);
  // Marks a known user as no longer a friend; an unknown account creates nothing.
  void ClearFriend(const std::string& account);
  std::optional<TContactRecord> Find(const std::string& account) const;
  // Calls read(record) under the lock, so that a caller copies only what it
  // needs of the record; false (and no call) for an unknown user.
  template <typename Read>
  bool Visit(const std::string& account, Read read) const {
    const std::string key = KeyOf(account);
    TAutoLock lock(m_mutex);
    auto it = m_records.find(key);
    if (it == m_records.end()) return false;
    read(it->second);
    return true;
  }
  // The record only when it is a friend.
  std::optional<TContactRecord> FindFriend(const std::string& account) const;
  bool Contains(const std::string& account) const;
  // Forgets every record (another account's database was opened).
  void Clear();
  size_t Size() const;

 private:
  // Hashed: a list of conversations looks up three fields of every person.
  using Records = std::unordered_map<std::string, TContactRecord>;
  static int ReadContacts(TDBManager* db, Records* out);

  mutable TBaseMutex m_mutex;
  Records m_records;
};

#endif
