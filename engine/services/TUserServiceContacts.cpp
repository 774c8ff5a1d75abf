// Contacts: user details by domain, the friend check and friend list, removals,
// remarks and the black list.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSaveInfoType.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "services/TContactCache.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserProtocol.h"
#include "services/TUserService.h"
#include "util/TArgList.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TStringCipher.h"
#include "util/TTextCodec.h"
#include "util/TTextUtil.h"
#include "util/TTimeUtil.h"
#include "util/TTransId.h"

namespace {


// One user as a detail reply describes it; "mobile" already deciphered.
struct DetailEntry {
  std::string userid;
  std::string account;
  std::string mobile;
  std::string email;
  std::string name;
  std::string fullspell;
  std::string initspell;
  std::string logo;
  std::string biglogo;
  std::string summary;
  int version = 0;
  int champflag = 0;
  int isfriend = 0;
};

DetailEntry ReadDetail(const Json::Value& v) {
  DetailEntry e;
  e.userid = TJsonHelper::GetString(v, "userid");
  e.account = TJsonHelper::GetString(v, "account");
  e.mobile = DecryptString(TJsonHelper::GetString(v, "mobile"));
  e.email = TJsonHelper::GetString(v, "email");
  e.name = TJsonHelper::GetString(v, "name");
  e.fullspell = TJsonHelper::GetString(v, "fullspell");
  e.initspell = TJsonHelper::GetString(v, "initspell");
  e.logo = TJsonHelper::GetString(v, "logo");
  e.biglogo = TJsonHelper::GetString(v, "biglogo");
  e.summary = TJsonHelper::GetString(v, "summary");
  e.version = TJsonHelper::GetInt(v, "userversion");
  e.champflag = TJsonHelper::GetInt(v, "champflag");
  e.isfriend = TJsonHelper::GetInt(v, "isfriend");
  return e;
}

std::string ContactRow(const DetailEntry& e, int isfriend) {
  return "replace into nq_contact(userid,account,mobile,email,name,fullspell,initspell,summary,"
         "logo,biglogo,isfriend,version,modifytime,champflag) values(" +
         e.userid + "," + SqlQuoted(e.account) + "," + SqlQuoted(e.mobile) + "," +
         SqlQuoted(e.email) + "," + SqlQuoted(e.name) + "," + SqlQuoted(e.fullspell) + "," +
         SqlQuoted(e.initspell) + "," + SqlQuoted(e.summary) + "," + SqlQuoted(e.logo) + "," +
         SqlQuoted(e.biglogo) + "," + std::to_string(isfriend) + "," + std::to_string(e.version) +
         "," + SqlQuoted(GetLocalTimeString()) + "," + std::to_string(e.champflag) + ")";
}

std::string RemarkRow(const std::string& account, const std::string& name) {
  return "replace into nq_remark(account,name,crtime) values(" + SqlQuoted(account) + "," +
         SqlQuoted(name) + "," + SqlQuoted(GetLocalTimeString()) + ")";
}

// A user already known as a friend stays one whatever a later fetch says.
int StoredFriendState(TContactCache* cache, const std::string& account, int isfriend) {
  if (!cache) return isfriend;
  std::optional<TContactRecord> record = cache->Find(account);
  return record && record->isfriend != 0 ? 1 : isfriend;
}

void CacheDetail(TContactCache* cache, const DetailEntry& e, int isfriend) {
  if (cache)
    cache->Set(e.account, e.name, e.summary, e.logo, e.biglogo, isfriend, e.version, e.champflag);
}

std::string UserIdOf(const std::string& account) { return TContactCache::KeyOf(account); }

void AppendListItem(std::string* list, const std::string& item) {
  if (!list->empty()) *list += ",";
  *list += item;
}

std::string DetailListReply(int total, const std::string& entries) {
  std::string text = "{" + JsonTextIntField("code", 1) + JsonTextStringField("msg", "OK") +
                     "\"result\":{" + JsonTextKey("count");
  if (total == 0)
    text += "0";
  else
    text += std::to_string(total) + "," + JsonTextKey("array") + "[" + entries + "]";
  return text + "}}";
}

// The first columns of every row of a query; none when it fails.
std::vector<std::vector<std::string>> QueryRows(const std::string& sql, int columns) {
  std::vector<std::vector<std::string>> rows;
  TDBManager* db = ServiceDatabase();
  TRecordSet records;
  if (!db || !db->Exec(sql, &records)) return rows;
  for (int i = 0; i < records.GetRecordCount(); ++i) {
    std::vector<std::string> row;
    for (int c = 0; c < columns; ++c) row.push_back(records.GetString(i, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

void SetBlackList(const std::string& text) {
  if (TServiceContext* core = TServiceContext::Instance()) core->SetBlackList(text);
}

// "result"."array" of an accepted reply whose "result"."count" is positive; else an
// empty array.
Json::Value CountedArray(const std::string& reply) {
  Json::Value result = TJsonHelper::GetValue(TJsonHelper::ParseAccepted(reply), "result");
  Json::Value array = TJsonHelper::GetValue(result, "array");
  if (TJsonHelper::GetInt(result, "count") <= 0 || !array.isArray())
    return Json::Value(Json::arrayValue);
  return array;
}

// A removal, remark or black-list change is applied here only when the server took it,
// so the local tables never claim what the server refused.
bool Accepted(const std::string& reply) { return !TJsonHelper::ParseAccepted(reply).isNull(); }

}  // namespace

int TUserService::GetDetailList(TAPIPacket* packet, const std::string& accounts, int isfriend) {
  if (accounts.empty()) return 1;
  std::vector<std::string> items;
  SplitString(accounts, ',', items);
  std::map<std::string, std::string> idsByDomain;  // ascending domain order
  for (const std::string& item : items) {
    size_t at = item.find('@');
    if (at == std::string::npos) continue;
    AppendListItem(&idsByDomain[item.substr(at + 1)], item.substr(0, at));
  }
  if (idsByDomain.empty()) return 1;

  int result = 1;
  int total = 0;
  std::string entries;
  for (const auto& domain : idsByDomain) {
    const std::string url =
        m_service.BuildUrl(kUserDetailListPath, "user@" + domain.first, kUserServer);
    const std::string body = JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                                                 JsonTextStringField("userids", domain.second));
    TAPIPacket local;
    local.state = packet->state;
    if (m_service.DoPost(&local, url, body) != kHttpOk) {
      result = 0;  // only this domain's users are lost
      continue;
    }
    int count = 0;
    StoreDetailList(&local, local.s4, isfriend, &entries, &count);
    total += count;
  }
  packet->s4 = DetailListReply(total, entries);
  return result;
}

void TUserService::StoreDetailList(TAPIPacket*, const std::string& reply, int isfriend,
                                   std::string* entries, int* count) {
  const Json::Value array = CountedArray(reply);

  // Deciding, writing and caching run as one step under the database lock. Two
  // syncs storing the same user side by side then see each other's result: a
  // friend stored by one is not written back as a stranger by the other.
  TAutoLock dbLock(DatabaseMutex());
  TContactCache* cache = ServiceContactCache();
  std::vector<std::pair<DetailEntry, int>> changed;
  std::vector<std::string> statements;
  for (const Json::Value& element : array) {
    DetailEntry e = ReadDetail(element);
    ++*count;
    AppendListItem(entries, TJsonHelper::ToStyledText(element));
    if (!AcceptSqlId(e.userid, "detail list")) continue;
    const int stored = StoredFriendState(cache, e.account, isfriend);
    std::optional<TContactRecord> record = cache ? cache->Find(e.account) : std::nullopt;
    // Unchanged users are neither written nor cached again.
    if (record && record->isfriend == stored && record->version >= e.version) continue;
    statements.push_back(ContactRow(e, stored));
    changed.emplace_back(std::move(e), stored);
  }
  // The cache learns a user only once the row is stored: a cached user counts as
  // stored, and a row that failed to store would otherwise never be written again.
  std::vector<bool> done(statements.size(), true);
  TDBManager* db = ServiceDatabase();
  if (db && !statements.empty()) db->ExecBatch(statements, &done);
  for (size_t i = 0; i < changed.size(); ++i) {
    if (done[i]) CacheDetail(cache, changed[i].first, changed[i].second);
  }
}

int TUserService::RunDetailListRequest(TAPIPacket* packet, const std::string&,
                                       const std::string& body) {
  TArgList args;
  args.Parse(body);
  GetDetailList(packet, args.Find("accounts"), 0);
  m_service.RaiseEvent(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
  return 0;
}

void TUserService::StoreDetail(const std::string& reply) {
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  DetailEntry e = ReadDetail(TJsonHelper::GetValue(root, "result"));
  if (e.userid.empty() || !AcceptSqlId(e.userid, "detail")) return;
  // One step under the database lock, as for a detail list.
  TAutoLock dbLock(DatabaseMutex());
  TContactCache* cache = ServiceContactCache();
  const int stored = StoredFriendState(cache, e.account, e.isfriend);
  TDBManager* db = ServiceDatabase();
  if (!db || db->Exec(ContactRow(e, stored))) CacheDetail(cache, e, stored);
}

void TUserService::AddCheckedFriends(TAPIPacket* packet, const std::string& friends) {
  TServiceContext* core = TServiceContext::Instance();
  const std::string userId = core ? core->GetUserID() : std::string();
  TAPIPacket local;
  local.state = packet->state;
  const int exchange =
      m_service.Post(&local, m_service.GetServerUrl(kUpdateFriendPath, kUserServer),
                     JsonTextCloseObject(JsonTextStringField("transid", MakeTransId("")) +
                                         JsonTextStringField("userid", userId) +
                                         JsonTextStringField("friends", friends)));
  // Friends only when the server made them friends, as for removals and remarks.
  if (exchange != kHttpOk || !Accepted(local.s4)) return;
  GetDetailList(packet, friends, 1);
  m_service.RaiseEvent(_EVENT_REPORT_FRIENDNOTIFY, 0, 0, "");
}

void TUserService::OnCheckAccount(TAPIPacket* packet, const std::string& reply) {
  std::map<std::string, int> versions;
  for (const auto& row : QueryRows("select userid,version from nq_contact where isfriend=1", 2))
    versions[row[0]] = static_cast<int>(SqlLeadingNumber(row[1]));

  const Json::Value array = CountedArray(reply);

  std::string friends;
  for (const Json::Value& element : array) {
    const std::string account = TJsonHelper::GetString(element, "account");
    if (account.find('@') == std::string::npos) continue;
    auto known = versions.find(UserIdOf(account));
    if (known == versions.end() || known->second < TJsonHelper::GetInt(element, "version"))
      AppendListItem(&friends, account);
  }
  if (!friends.empty()) AddCheckedFriends(packet, friends);
}

void TUserService::OnCheckMobile(TAPIPacket* packet, const std::string& reply) {
  std::set<std::string> known;
  for (const auto& row : QueryRows("select userid from nq_contact where isfriend=1", 1))
    known.insert(row[0]);

  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  const std::string accounts =
      TJsonHelper::GetString(TJsonHelper::GetValue(root, "result"), "accounts");
  if (accounts.empty()) return;
  std::vector<std::string> items;
  SplitString(accounts, ',', items);
  std::string friends;
  for (const std::string& account : items) {
    if (account.find('@') == std::string::npos) continue;
    if (!known.count(UserIdOf(account))) AppendListItem(&friends, account);
  }
  if (!friends.empty()) AddCheckedFriends(packet, friends);
}

void TUserService::OnFriendList(TAPIPacket* packet, const std::string& reply) {
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  Json::Value result = TJsonHelper::GetValue(root, "result");
  const int version = TJsonHelper::GetInt(result, "version");
  SetBlackList(TJsonHelper::GetString(result, "black"));

  TDBManager* db = ServiceDatabase();
  bool complete = true;  // every part of the list was stored
  Json::Value remarks = TJsonHelper::GetValue(result, "remarks");
  if (remarks.isArray() && !remarks.empty()) {
    std::vector<std::string> statements;
    for (const Json::Value& element : remarks) {
      statements.push_back(RemarkRow(TJsonHelper::GetString(element, "acc"),
                                     TJsonHelper::GetString(element, "name")));
    }
    if (db && !db->ExecBatch(statements)) complete = false;
  }

  std::string added;
  std::string removedIds;
  std::vector<std::string> removedAccounts;
  Json::Value friends = TJsonHelper::GetValue(result, "friends");
  if (friends.isArray()) {
    for (const Json::Value& element : friends) {
      const std::string account = TJsonHelper::GetString(element, "acc");
      if (TJsonHelper::GetInt(element, "deleted") == 0) {
        AppendListItem(&added, account);
        continue;
      }
      removedAccounts.push_back(account);
      const std::string id = UserIdOf(account);
      if (AcceptSqlId(id, "friend list")) AppendListItem(&removedIds, id);
    }
  }

  if (GetDetailList(packet, added, 1) == 0) complete = false;
  if (TContactCache* cache = ServiceContactCache()) {
    for (const std::string& account : removedAccounts) cache->ClearFriend(account);
  }
  if (db && !removedIds.empty() &&
      !db->Exec("update nq_contact set isfriend=0 where userid in(" + removedIds + ")")) {
    complete = false;
  }
  // The version says the stored list is current: written last, and only when all of
  // it was stored, so that a part lost (a failed detail fetch, a failed write) is
  // asked for again at the next sync.
  if (complete && db) db->SetSaveInfoInt(kSaveInfoSession, "FRIENDVER", version);
}

void TUserService::OnRemoveFriend(TAPIPacket* packet, const std::string& reply) {
  if (!Accepted(reply)) return;
  TArgList args;
  args.Parse(packet->s2);
  const std::string account = args.Find("account");
  const std::string id = UserIdOf(account);
  if (!AcceptSqlId(id, "remove friend")) return;
  if (TDBManager* db = ServiceDatabase())
    db->Exec("update nq_contact set isfriend=0 where userid=" + id);
  if (TContactCache* cache = ServiceContactCache()) cache->ClearFriend(account);
}

void TUserService::OnSetRemark(TAPIPacket* packet, const std::string& reply) {
  if (!Accepted(reply)) return;
  TArgList args;
  args.Parse(packet->s2);
  if (TDBManager* db = ServiceDatabase())
    db->Exec(RemarkRow(args.Find("friend"), args.Find("name")));
}

void TUserService::OnSetBlack(TAPIPacket*, const std::string& reply) {
  Json::Value root = TJsonHelper::ParseAccepted(reply);
  if (root.isNull()) return;
  SetBlackList(TJsonHelper::GetString(TJsonHelper::GetValue(root, "result"), "users"));
}
