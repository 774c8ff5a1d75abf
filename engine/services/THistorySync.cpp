#include "services/THistorySync.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <thread>
#include <utility>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "base/TStopFlag.h"
#include "db/SqlText.h"
#include "db/TAccountScope.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSaveInfoType.h"
#include "db/TSqlStatement.h"
#include "net/THttpRequestService.h"
#include "net/TServerKeys.h"
#include "net/TUrlCodec.h"
#include "services/TContactCache.h"
#include "services/TMessageIds.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageMention.h"
#include "services/TMessageService.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "services/TUserService.h"
#include "util/TJsonHelper.h"
#include "util/TJsonText.h"
#include "util/TTextCodec.h"
#include "util/TTextUtil.h"

namespace {

constexpr char kPersonKey[] = "PERSON";
constexpr int kUserPageSize = 30;
constexpr int kGroupPageSize = 120;
constexpr int kSendStateSent = 1;

std::string Num(long long v) { return std::to_string(v); }

std::string OwnAccount() {
  TServiceContext* core = TServiceContext::Instance();
  return core ? core->GetAccount() : std::string();
}

bool NamesGroup(const std::string& account) { return account.find("group") != std::string::npos; }

// The largest plain number of a comma-separated id list; 0 when there is none.
long long NewestListedId(const std::string& ids) {
  std::vector<std::string> items;
  SplitString(ids, ',', items);
  long long newest = 0;
  for (const std::string& item : items) {
    const std::string id = Trim(item);
    if (SqlIsDecimalId(id)) newest = std::max(newest, SqlLeadingNumber(id));
  }
  return newest;
}

// The path on the IM server: the group form for a group target.
std::string HistoryPath(const std::string& target, const char* name) {
  return std::string(IsGroupTarget(target) ? "/im/message/group/" : "/im/message/user/") + name;
}

const char kInsertSql[] =
    "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,touser,"
    "totype,content,remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,atflag,"
    "sendtime) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

void BindRecord(TSqlStatement& insert, const THistoryRecord& r) {
  int i = 0;
  insert.BindInt(++i, r.msgid);
  insert.BindInt(++i, r.accountid);
  insert.BindInt(++i, r.msgtype);
  insert.BindText(++i, r.fromuser);
  insert.BindText(++i, r.fromgroup);
  insert.BindInt(++i, r.fromver);
  insert.BindInt(++i, r.device);
  insert.BindText(++i, r.touser);
  insert.BindInt(++i, r.totype);
  insert.BindText(++i, r.content);
  insert.BindText(++i, r.remark);
  insert.BindText(++i, r.localpath);
  insert.BindText(++i, r.fileurl);
  insert.BindInt(++i, r.sendflag);
  insert.BindInt(++i, kSendStateSent);
  insert.BindInt(++i, r.localsend);
  insert.BindInt(++i, r.seeflag);
  insert.BindInt(++i, r.atflag);
  insert.BindText(++i, r.sendtime);
}

// The rows one batch added to a conversation, as UpdateConversations needs them.
struct TAddedRows {
  const THistoryRecord* newest = nullptr;  // the newest row shown in the conversation
  int newestId = 0;
  int ownNewestId = 0;  // the newest row the own account sent into it
};

// Points each conversation's list row at its newest new row and marks everything up
// to the user's own newest new message seen. added holds the batch's rows with their
// local ids, oldest first; they are the only rows that can be new, since the batch
// holds the insert lock from its first insert to here.
void UpdateConversations(const std::vector<std::pair<int, const THistoryRecord*>>& added,
                         const std::set<std::string>& conversations, const std::string& own) {
  std::map<std::string, TAddedRows> rows;
  for (const std::string& conversation : conversations) {
    if (!conversation.empty() && conversation != own) rows.emplace(conversation, TAddedRows());
  }
  for (const auto& [id, r] : added) {
    // A row belongs only to the conversations named by its sender or its receiver.
    for (const std::string* key : {&r->fromuser, &r->touser}) {
      if (key == &r->touser && r->touser == r->fromuser) break;
      auto found = rows.find(*key);
      if (found == rows.end()) continue;
      TAddedRows& into = found->second;
      const bool shown =
          IsGroupTarget(*key) ? r->touser == *key && r->touser == r->fromgroup : r->totype == 0;
      if (shown) {
        into.newest = r;
        into.newestId = id;
      }
      if (r->fromuser == own && r->touser == *key) into.ownNewestId = id;
    }
  }
  for (const auto& [conversation, into] : rows) {
    if (into.newest) {
      TMessageStore::UpsertConversation(conversation, into.newestId, into.newest->msgtype,
                                        into.newest->content, into.newest->sendtime);
    }
    if (into.ownNewestId > 0) TMessageStore::MarkConversationSeen(conversation, into.ownNewestId);
  }
}

// Stores the pages handed to it on a thread of its own, one at a time and in the
// order given; joined before the next page starts and when it goes.
class TPageStorer {
 public:
  TPageStorer(THistorySync& sync, std::string target) : m_sync(sync), m_target(std::move(target)) {}
  ~TPageStorer() { Finish(); }
  TPageStorer(const TPageStorer&) = delete;
  TPageStorer& operator=(const TPageStorer&) = delete;

  void Store(THistoryPage page) {
    Finish();
    m_page = std::move(page);
    // The page belongs to the account the download works for.
    m_thread = std::thread([this, stamp = TAccountScope::OfThread()] {
      TAccountScope scope(stamp);
      try {
        m_sync.StoreFetchedPage(m_target, &m_page, 1);
      } catch (...) {
        // Out of memory at worst: the rows stay on the server and the last id was
        // not moved past them, so the next synchronisation fetches them again.
      }
    });
  }
  void Finish() {
    if (m_thread.joinable()) m_thread.join();
  }

 private:
  THistorySync& m_sync;
  const std::string m_target;
  THistoryPage m_page;
  std::thread m_thread;
};

}  // namespace

THistorySync::THistorySync(THttpRequestService& service) : m_service(service) {}

int THistorySync::OnGetHistoryRequest(TAPIPacket* packet) {
  const std::string target = packet->s1;
  std::string ids;
  // A failure is answered as one: the request gets its second run, and the program
  // does not take a passing server error for the start of the conversation. A
  // server that lists no ids has answered, and that is a success.
  int result = FetchHistoryIds(
      packet, target, SqlLeadingNumber(packet->s2),
      static_cast<int>(std::clamp<long long>(SqlLeadingNumber(packet->s3), 0, 1000)), &ids);
  if (result == 0 && !ids.empty()) result = GetMidHistory(packet, ids, 0, 1);
  // The answer carries no reply text: the program reads the stored rows.
  packet->s4.clear();
  return result;
}

int THistorySync::SyncUserHistory(TAPIPacket* packet) {
  return SyncConversation(packet, kUserPageSize, 1);
}

int THistorySync::SyncGroupHistory(TAPIPacket* packet) {
  return SyncConversation(packet, kGroupPageSize, 0);
}

int THistorySync::SyncConversation(TAPIPacket* packet, int pagesize, int seeflag) {
  std::string ids;
  if (FetchHistoryIds(packet, packet->s1, -1, pagesize, &ids) != 0 ||
      (!ids.empty() && GetMidHistory(packet, ids, 1, seeflag) != 0)) {
    m_incomplete = true;
  }
  return 0;
}

int THistorySync::SyncHistoryByLoginTime(TAPIPacket* packet) {
  const std::string url = m_service.GetServerUrl(HistoryPath("", "gethistory.do"), kImServer) +
                          "?logintime=" + UrlEncode(packet->s2);
  // Pages are stored a few at a time: one transaction and one conversation upkeep
  // per group of pages instead of per page. Each group is stored on a thread of its
  // own while the next pages are fetched and read; groups are stored one after the
  // other, in order, and all before this returns.
  THistoryPage pending;
  TPageStorer storer(*this, packet->s1);
  auto store = [&] {
    // The details come over this thread's HTTP client, before the rows are stored.
    FetchUnknownSenders(packet, pending.senders);
    storer.Store(std::move(pending));
    pending = THistoryPage();
  };
  long long lastid = GetLastHistoryId("");
  while (!IsEngineStopping() && !TAccountScope::IsLoginOver()) {
    if (m_service.Get(packet, url + "&lastid=" + Num(lastid)) != 0 || packet->s4.empty()) break;
    const long long before = pending.maxid;
    if (!ReadHistory(packet->s4, 0, &pending)) break;
    // Done when the server says so, and when it does not move on (it would be asked
    // the same page forever).
    const bool done = pending.finish != 0 || pending.maxid <= std::max(before, lastid);
    const long long reached = std::max(before, pending.maxid);
    if (done || pending.records.size() + pending.revokes.size() >= kStoreRows) store();
    if (done) break;
    lastid = std::max(lastid, reached);
  }
  if (!pending.records.empty() || !pending.revokes.empty() || pending.maxid > 0) store();
  storer.Finish();
  return 0;
}

std::string THistorySync::GetHistoryIds(TAPIPacket* packet, const std::string& target,
                                        long long lastid, int pagesize) {
  std::string ids;
  FetchHistoryIds(packet, target, lastid, pagesize, &ids);
  return ids;
}

int THistorySync::FetchHistoryIds(TAPIPacket* packet, const std::string& target, long long lastid,
                                  int pagesize, std::string* ids) {
  ids->clear();
  std::string url = m_service.GetServerUrl(HistoryPath(target, "gethistoryid.do"), kImServer) +
                    "?lastid=" + Num(lastid) + "&pagesize=" + Num(pagesize);
  if (!target.empty()) url += "&touser=" + UrlEncode(target);
  const int exchange = m_service.Get(packet, url);
  if (exchange != 0) return exchange;
  Json::Value root = TJsonHelper::ParseAccepted(packet->s4);
  if (root.isNull()) return kHttpUndecodable;
  Json::Value result = TJsonHelper::GetValue(root, "result");
  if (!result.isObject()) return kHttpUndecodable;
  *ids = TJsonHelper::GetString(result, "msgids");
  return 0;
}

int THistorySync::GetMidHistory(TAPIPacket* packet, const std::string& ids, int finishConversations,
                                int seeflag) {
  if (ids.empty()) return 0;
  const std::string target = packet->s1;
  const std::string missing = FilterMissingIds(target, ids);
  // Once every listed message is stored, the newest of them is downloaded, also when
  // the rows came another way (a push, an earlier download that failed part way).
  auto allStored = [&] {
    if (!m_incomplete) SetLastHistoryId(target, NewestListedId(ids));
  };
  if (missing.empty()) {
    allStored();
    return 0;
  }
  const std::string url =
      m_service.GetServerUrl(HistoryPath(target, "getmidhistory.do"), kImServer);
  std::vector<std::string> list;
  SplitString(missing, ',', list);
  // Oldest first, so a revoke never comes before the message it names.
  std::stable_sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) {
    return SqlLeadingNumber(a) < SqlLeadingNumber(b);
  });
  int failed = 0;
  for (size_t start = 0; start < list.size(); start += kMidHistoryChunk) {
    if (IsEngineStopping()) return kHttpSendFailed;
    // The login the download was for is over: nothing more is fetched for it.
    if (TAccountScope::IsLoginOver()) return failed;
    std::string chunk;
    for (size_t i = start; i < list.size() && i < start + kMidHistoryChunk; ++i)
      chunk += (chunk.empty() ? "" : ",") + list[i];
    const std::string body = JsonTextCloseObject(JsonTextStringField("touser", target) +
                                                 JsonTextStringField("msgids", chunk));
    const int exchange = m_service.Post(packet, url, body);
    if (exchange != 0) return exchange;
    if (packet->s4.empty()) return kHttpUndecodable;
    const std::string reply = packet->s4;
    int finish = 0;
    // An unreadable chunk stores nothing; the later chunks are still fetched, but
    // the last id stays below the missing rows.
    if (!ParseHistory(packet, reply, finishConversations, seeflag, &finish)) {
      failed = kHttpUndecodable;
      m_incomplete = true;
    }
  }
  if (failed == 0) allStored();
  return failed;
}

std::string THistorySync::FilterMissingIds(const std::string& target, const std::string& ids) {
  std::vector<std::string> items;
  SplitString(ids, ',', items);
  std::vector<std::string> list;
  long long low = 0;
  long long high = 0;
  for (std::string& item : items) {
    item = Trim(item);
    if (!SqlIsDecimalId(item)) continue;
    const long long id = SqlLeadingNumber(item);
    // The server's order is not promised: bound the query by the smallest and the
    // largest id, not by the first and the last.
    low = list.empty() ? id : std::min(low, id);
    high = list.empty() ? id : std::max(high, id);
    list.push_back(item);
  }
  if (list.empty()) return "";

  std::set<long long> stored;
  {
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = ServiceDatabase();
    TRecordSet rows;
    const std::string range = "msgid>=" + Num(low) + " and msgid<=" + Num(high);
    const std::string sql =
        IsGroupTarget(target)
            ? "select msgid  from nq_message where  accountid=" + Num(SqlLeadingNumber(target)) +
                  " and " + range + " and totype=1 "
            : "select msgid  from nq_message where  " + range + " and totype=0";
    if (db && db->Exec(sql, &rows)) {
      for (int i = 0; i < rows.GetRecordCount(); ++i) stored.insert(rows.GetInt64(i, 0));
    }
  }
  std::string missing;
  for (const std::string& item : list) {
    if (stored.count(SqlLeadingNumber(item))) continue;
    missing += (missing.empty() ? "" : ",") + item;
  }
  return missing;
}

int THistorySync::ParseHistory(TAPIPacket* packet, const std::string& reply,
                               int finishConversations, int seeflag, int* finish) {
  THistoryPage page;
  if (!ReadHistory(reply, seeflag, &page)) return 0;
  if (finish) *finish = page.finish;
  StoreHistoryPage(packet, &page, finishConversations);
  return 1;
}

int THistorySync::ReadHistory(const std::string& reply, int seeflag, THistoryPage* page) {
  const Json::Value root = TJsonHelper::ParseAccepted(reply);
  // A page holds hundreds of messages: members are read in place, never copied.
  const Json::Value* found = TJsonHelper::FindMember(root, "result");
  if (!found || !found->isObject()) return 0;
  const Json::Value& result = *found;
  page->maxid =
      std::max(page->maxid, static_cast<long long>(TJsonHelper::GetInt64(result, "maxid")));
  page->finish = TJsonHelper::GetInt(result, "finish");
  const int count = TJsonHelper::GetInt(result, "count");

  TServiceContext* core = TServiceContext::Instance();
  const std::string own = OwnAccount();
  const std::string ownUserId = core ? core->GetUserID() : std::string();
  const int ownDevice = core ? core->GetDeviceType() : 0;
  const Json::Value* array = TJsonHelper::FindMember(result, "array");
  if (count <= 0 || !array || !array->isArray()) return 1;
  // Pages are appended to one another: growing by exactly one page each time would
  // move every record read so far on every page.
  if (page->records.capacity() < page->records.size() + array->size())
    page->records.reserve(std::max(page->records.size() + array->size(), 2 * page->records.size()));
  for (const Json::Value& item : *array) {
    if (!item.isObject()) continue;
    THistoryRecord r;
    r.msgid = TJsonHelper::GetInt64(item, "id");
    r.fromuser = TJsonHelper::GetString(item, "fromuser");
    r.fromgroup = TJsonHelper::GetString(item, "fromgroup");
    r.fromver = TJsonHelper::GetInt(item, "fromversion");
    r.device = TJsonHelper::GetInt(item, "fromdev");
    r.touser = TJsonHelper::GetString(item, "touser");
    r.msgtype = MessageTypeIndex(TJsonHelper::GetString(item, "msgtype").c_str());
    r.content = UnescapeEmoji(TJsonHelper::GetString(item, "content"));
    r.remark = TJsonHelper::GetString(item, "remark");
    r.sendtime = TJsonHelper::GetString(item, "curtime");
    // A stored text ends at its first zero byte; the duplicate test must compare
    // what is stored.
    for (std::string* text :
         {&r.fromuser, &r.fromgroup, &r.touser, &r.content, &r.remark, &r.sendtime}) {
      text->resize(strnlen(text->c_str(), text->size()));
    }
    if (r.msgid <= 0 || r.touser.empty()) continue;  // nothing to key the row by
    // Most messages carry no remark, and an empty one mentions nobody.
    r.atflag = r.remark.empty() ? kAtNone : ParseMention(r.msgtype, r.remark, ownUserId, own);
    if (r.msgtype == kGroupNotifyType) {
      int lostGroup = 0;
      r.content = TMessageService::RewriteGroupNotice(r.fromgroup, r.touser, r.content, &lostGroup);
      if (r.content.empty()) continue;
    }
    r.seeflag = seeflag;
    r.totype = IsGroupTarget(r.touser) ? 1 : 0;
    r.accountid = TMessageStore::PeerAccountId(r.fromuser, r.touser, r.fromgroup, own);
    r.sendflag = r.fromuser == own ? 1 : 0;
    r.localsend = r.sendflag && r.device == ownDevice ? 1 : 0;
    page->senders.insert(r.fromuser);
    if (r.msgtype == kRevokeType) {
      page->revokes.push_back(std::move(r));
      continue;
    }
    page->conversations.insert(r.fromuser);
    page->conversations.insert(r.touser);
    page->records.push_back(std::move(r));
  }
  return 1;
}

void THistorySync::StoreHistoryPage(TAPIPacket* packet, THistoryPage* page,
                                    int finishConversations) {
  FetchUnknownSenders(packet, page->senders);
  StoreFetchedPage(packet->s1, page, finishConversations);
}

void THistorySync::StoreFetchedPage(const std::string& target, THistoryPage* page,
                                    int finishConversations) {
  bool stored = StoreHistoryBatch(page->records, page->conversations) != kStoreFailed;
  // Revokes after the messages they came with are stored, so a revoke finds the
  // message it names even when both came in one page.
  std::vector<THistoryRecord> kept;
  std::set<std::string> revokeConversations;
  for (THistoryRecord& r : page->revokes) {
    const int revoked =
        TMessageStore::MarkRevokedByMsgId(SqlLeadingNumber(r.content), r.touser, r.fromuser);
    if (revoked == 0) continue;  // a revoke of a message never stored is dropped
    r.content = Num(revoked);
    revokeConversations.insert(r.fromuser);
    revokeConversations.insert(r.touser);
    kept.push_back(std::move(r));
  }
  if (!kept.empty()) {
    stored = StoreHistoryBatch(kept, revokeConversations) != kStoreFailed && stored;
    page->conversations.insert(revokeConversations.begin(), revokeConversations.end());
  }
  // Only after the rows are stored: a download cut short, or one whose rows could
  // not be written, starts again from them.
  if (!stored) m_incomplete = true;
  if (page->maxid > 0 && !m_incomplete) SetLastHistoryId(target, page->maxid);
  if (finishConversations) {
    for (const std::string& conversation : page->conversations) FinishConversation(conversation);
  }
}

void THistorySync::FetchUnknownSenders(TAPIPacket* packet, const std::set<std::string>& senders) {
  const std::string own = OwnAccount();
  TContactCache* cache = ServiceContactCache();
  std::string unknown;
  for (const std::string& sender : senders) {
    if (sender.empty() || NamesGroup(sender) || sender == own) continue;
    if (cache && cache->Contains(sender)) continue;
    unknown += (unknown.empty() ? "" : ",") + sender;
  }
  if (unknown.empty()) return;
  const std::string reply = packet->s4;
  TUserService(m_service).GetDetailList(packet, unknown, 0);
  packet->s4 = reply;
}

int THistorySync::StoreHistoryBatch(const std::vector<THistoryRecord>& records,
                                    const std::set<std::string>& conversations) {
  // The message insert lock first: the send and receive paths read back their own
  // rows by the newest id and must not see these in between.
  TAutoLock insertLock(MessageInsertLock());
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  if (!db) return kStoreFailed;
  if (records.empty()) return 0;
  if (!db->BeginTransaction(0)) return kStoreFailed;

  std::vector<std::pair<int, const THistoryRecord*>> added;  // local id, row
  added.reserve(records.size());
  int inserted = 0;
  bool failed = false;
  {
    // The duplicate test reads the stored rows of the batch's id range once, inside
    // the lock and the transaction, and remembers what this batch adds.
    long long low = records.front().msgid;
    long long high = low;
    for (const THistoryRecord& r : records) {
      low = std::min(low, r.msgid);
      high = std::max(high, r.msgid);
    }
    std::set<std::pair<long long, std::string>> stored;  // (msgid, group or "")
    bool readable = false;
    {
      auto existing =
          db->Prepare("select msgid,totype,touser from nq_message where msgid>=? and msgid<=?");
      if (existing) {
        existing->BindInt(1, low);
        existing->BindInt(2, high);
        TSqlStatement::StepResult step;
        while ((step = existing->Step()) == TSqlStatement::kRow) {
          const bool group = existing->ColumnInt64(1) != 0;
          stored.emplace(existing->ColumnInt64(0), group ? existing->ColumnText(2) : "");
        }
        readable = step == TSqlStatement::kDone;
      }
    }
    auto insert = readable ? db->Prepare(kInsertSql) : nullptr;
    failed = !insert;
    for (size_t i = 0; insert && i < records.size(); ++i) {
      const THistoryRecord& r = records[i];
      // A group message is the same message only in the same group; a one-to-one
      // message by its id among the one-to-one rows.
      if (!stored.emplace(r.msgid, r.totype ? r.touser : std::string()).second) continue;
      BindRecord(*insert, r);
      // A row that cannot be written (a full disk, a file locked elsewhere) fails the
      // batch: its last id must not move past rows that were never stored.
      if (insert->Step() != TSqlStatement::kDone) {
        failed = true;
        break;
      }
      ++inserted;
      added.emplace_back(static_cast<int>(db->LastInsertRowId()), &r);
      insert->Reset();
    }
    insert.reset();
    // In the same transaction: the list rows change with the rows they point at,
    // and cost no commit of their own.
    if (!failed && inserted > 0) UpdateConversations(added, conversations, OwnAccount());
  }
  if (failed || !db->CommitTransaction(0)) {
    db->RollbackTransaction(0);
    return kStoreFailed;
  }
  return inserted;
}

void THistorySync::FinishConversation(const std::string& target) {
  if (target.empty() || target == OwnAccount()) return;
  std::string json;
  int newest = 0;
  {
    TAutoLock lock(DatabaseMutex());
    TDBManager* db = ServiceDatabase();
    if (!db) return;
    if (IsGroupTarget(target)) {
      // Only the group's own rows: a one-to-one peer may share the number.
      const std::string rows =
          " from nq_message where accountid=" + Num(SqlLeadingNumber(target)) + " and totype=1";
      const long long count = db->QueryInt("select count(*)" + rows, 0);
      if (count > kGroupKeepRows) {
        // The oldest by the server's order: older pages fetched later have higher
        // local ids. Rows the server never numbered (a failed send, a local notice)
        // are not the server's to age out.
        db->Exec("delete from nq_message where id in (select id" + rows +
                 " and msgid>0 order by msgid,sendtime,id limit " + Num(count - kGroupKeepRows) +
                 ")");
      }
    }
    newest = static_cast<int>(
        db->QueryInt("select msgid from nq_messagenew where account=" + SqlQuoted(target), 0));
    if (newest > 0) json = BuildMessageJson(newest);
  }
  if (newest > 0 && !json.empty() && IsNewMessageId(newest))
    m_service.RaiseEvent(_EVENT_COME_IMMESSAGE, 1, newest, json);
  m_service.RaiseEvent(_EVENT_COME_HISTORYIM, 0, 0, target);
}

std::string THistorySync::BuildMessageJson(int id) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  TRecordSet row;
  if (!db ||
      !db->Exec("select id,accountid,msgid,msgtype,fromuser,fromgroup,fromver,device,touser,"
                "totype,content,remark,sendflag,atflag,sendtime from nq_message where id=" +
                    Num(id),
                &row) ||
      row.GetRecordCount() < 1) {
    return "";
  }
  std::string fields;
  int column = 0;
  auto number = [&](const char* key) {
    fields += JsonTextIntField(key, row.GetInt64(0, column++));
  };
  auto text = [&](const char* key) {
    fields += JsonTextStringField(key, row.GetString(0, column++));
  };
  number("id");
  number("accountid");
  number("msgid");
  number("msgtype");
  text("fromuser");
  text("fromgroup");
  number("fromver");
  number("device");
  text("touser");
  number("totype");
  text("content");
  text("remark");
  number("sendflag");
  number("atflag");
  text("sendtime");
  return JsonTextCloseObject(fields);
}

long long THistorySync::GetLastHistoryId(const std::string& target) {
  TDBManager* db = ServiceDatabase();
  if (!db) return 0;
  return SqlLeadingNumber(db->GetSaveInfo(kSaveInfoHistory, target.empty() ? kPersonKey : target));
}

void THistorySync::SetLastHistoryId(const std::string& target, long long id) {
  // Read and write under one lock hold, so two downloads cannot lower the id.
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = ServiceDatabase();
  if (!db || id <= GetLastHistoryId(target)) return;
  db->SetSaveInfoInt(kSaveInfoHistory, target.empty() ? kPersonKey : target, id);
}
