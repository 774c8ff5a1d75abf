// The engine core's work on the account database: session values, the
// configuration load and the account-id migration.
#include <cstdlib>
#include <vector>

#include "base/TAutoLock.h"
#include "core/TEngineCore.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSaveInfoType.h"
#include "services/TMessageStore.h"

namespace {
// Statements per migration transaction: bounded memory and lock hold per batch.
constexpr size_t kMigrationBatch = 1000;

int ToInt(const std::string& text) {
  long long v = SqlLeadingNumber(text);
  return v > 2147483647LL ? 2147483647 : (v < -2147483647LL ? -2147483647 : static_cast<int>(v));
}
}  // namespace

void TEngineCore::SetSaveInfoValue(const std::string& key, const std::string& value) {
  TAutoLock lock(DatabaseMutex());
  if (TDBManager* db = GetDatabase()) db->SetSaveInfo(kSaveInfoSession, key, value);
}

void TEngineCore::LoadConfig() {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = GetDatabase();
  if (!db) return;
  auto get = [db](const char* key) { return db->GetSaveInfo(kSaveInfoSession, key); };
  {
    std::string black = get("BLACK");
    TAutoLock fields(m_fieldMutex);
    m_blackList = black;
  }
  if (!get("REGSTATE").empty()) {
    SetUserAccount(get("USERID"), get("ACCOUNT"));
    SetHttpServer(get("HTTPSERVER"));
  }
  if (!get("LOGINSTATE").empty()) {
    SetProfile(get("NAME"), get("ICON"), get("BIGICON"), get("SUMMARY"), ToInt(get("VERSION")),
               ToInt(get("CHAMPFLAG")));
    SetUpServer(get("UPSERVER"));
    SetDownServer(get("DOWNSERVER"));
    SetProxyServer(get("PROXYSERVER"));
  }
}

int TEngineCore::MigrateAccountIds() {
  // Each batch holds the database lock on its own, so the program's reads go on
  // between batches; a replaced manager stays valid (closed) until the facade ends.
  TDBManager* db = GetDatabase();
  if (!db || db->GetSaveInfo(kSaveInfoSession, "INITACCCOUNTID") == "1") return 0;

  int batches = 0;
  std::vector<std::string> pending;
  auto add = [&](std::string sql) {
    pending.push_back(std::move(sql));
    if (pending.size() >= kMigrationBatch) {
      db->ExecBatch(pending);
      pending.clear();
      ++batches;
    }
  };

  TRecordSet conversations;
  if (db->Exec("select account from nq_messagenew where accountid=0", &conversations)) {
    for (int i = 0; i < conversations.GetRecordCount(); ++i) {
      std::string account = conversations.GetString(i, 0);
      // The number before the "@" (the whole text without one).
      add("update nq_messagenew set accountid=" + std::to_string(SqlLeadingNumber(account)) +
          " where account=" + SqlQuoted(account));
    }
  }
  TRecordSet messages;
  std::string own = GetAccount();
  if (db->Exec("select id,fromuser,fromgroup,touser from nq_message where accountid=0",
               &messages)) {
    for (int i = 0; i < messages.GetRecordCount(); ++i) {
      long long peer = TMessageStore::PeerAccountId(
          messages.GetString(i, 1), messages.GetString(i, 3), messages.GetString(i, 2), own);
      add("update nq_message set accountid=" + std::to_string(peer) +
          " where id=" + std::to_string(messages.GetInt64(i, 0)));
    }
  }
  if (!pending.empty()) {
    db->ExecBatch(pending);
    ++batches;
  }
  db->SetSaveInfo(kSaveInfoSession, "INITACCCOUNTID", "1");
  return batches;
}
