#include "services/TMessageStore.h"

#include <ctime>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TRecordSet.h"
#include "db/TSqlStatement.h"
#include "services/TMessageType.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"

namespace {
std::string Num(long long v) { return std::to_string(v); }
}  // namespace

TDBManager* TMessageStore::Database() { return ServiceDatabase(); }

std::string TMessageStore::NowText() {
  time_t now = time(nullptr);
  struct tm t {};
  localtime_r(&now, &t);
  char text[32];
  if (strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &t) == 0) return "";
  return text;
}

long long TMessageStore::PeerAccountId(const std::string& fromuser, const std::string& touser,
                                       const std::string& fromgroup) {
  TServiceContext* core = TServiceContext::Instance();
  return PeerAccountId(fromuser, touser, fromgroup, core ? core->GetAccount() : std::string());
}

long long TMessageStore::PeerAccountId(const std::string& fromuser, const std::string& touser,
                                       const std::string& fromgroup,
                                       const std::string& ownAccount) {
  if (!fromgroup.empty() && touser.find("group") != std::string::npos) {
    return SqlLeadingNumber(fromgroup);
  }
  if (touser == ownAccount) return SqlLeadingNumber(fromuser);
  return SqlLeadingNumber(touser);
}

int TMessageStore::LoadMessage(int localId, TMsgRecord* out) {
  if (!out) return 0;
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  TRecordSet rows;
  if (!db->Exec("select touser,msgtype,content,remark,localpath,fwflag,msgid from nq_message "
                "where id=" +
                    Num(localId),
                &rows) ||
      rows.GetRecordCount() < 1) {
    return 0;
  }
  out->touser = rows.GetString(0, 0);
  out->msgtype = rows.GetInt(0, 1);
  out->content = rows.GetString(0, 2);
  out->remark = rows.GetString(0, 3);
  out->localpath = rows.GetString(0, 4);
  out->fwflag = rows.GetInt(0, 5);
  out->msgid = rows.GetInt64(0, 6);
  return 1;
}

int TMessageStore::UpsertConversation(const std::string& account, int localId, int msgtype,
                                      const std::string& content, const std::string& time) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  const std::string crtime = time.empty() ? NowText() : time;
  // Compiled once per connection: every stored message comes through here.
  TSqlStatement* present = db->Cached("select msgid  from nq_messagenew where account=?");
  TSqlStatement* insert = db->Cached(
      "insert into nq_messagenew(account,accountid,msgid,msgtype,content,crtime) "
      "values(?,?,?,?,?,?)");
  TSqlStatement* newer = db->Cached(
      "select msgid from nq_messagenew where account=? and (crtime>? or (crtime=? and "
      "msgid>=?))");
  TSqlStatement* update = db->Cached(
      "update nq_messagenew set msgid=?,msgtype=?,content=?,crtime=?,deleted=0 where account=?");
  if (!present || !insert || !newer || !update) return 0;
  auto exists = [](TSqlStatement* query) {
    const bool row = query->Step() == TSqlStatement::kRow;
    query->Reset();
    return row;
  };
  auto run = [](TSqlStatement* statement) {
    const bool done = statement->Step() == TSqlStatement::kDone;
    statement->Reset();
    return done ? 1 : 0;
  };
  present->BindText(1, account);
  if (!exists(present)) {
    insert->BindText(1, account);
    insert->BindInt(2, SqlLeadingNumber(account));
    insert->BindInt(3, localId);
    insert->BindInt(4, msgtype);
    insert->BindText(5, content);
    insert->BindText(6, crtime);
    return run(insert);
  }
  if (!time.empty()) {
    // Times have one-second resolution: within the same second the higher local id
    // (the later insert) is the latest message.
    newer->BindText(1, account);
    newer->BindText(2, time);
    newer->BindText(3, time);
    newer->BindInt(4, localId);
    if (exists(newer)) return 1;
  }
  update->BindInt(1, localId);
  update->BindInt(2, msgtype);
  update->BindText(3, content);
  update->BindText(4, crtime);
  update->BindText(5, account);
  return run(update);
}

int TMessageStore::MarkConversationSeen(const std::string& peer, int localId) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 1;
  std::string p = SqlQuoted(peer);
  std::string sql = IsGroupTarget(peer) ? "update nq_message set seeflag=1 where touser=" + p
                                        : "update nq_message set seeflag=1 where (fromuser=" + p +
                                              " or touser=" + p + ") and totype=0";
  if (localId != 0) sql += " and  id<=" + Num(localId);
  // Rows already seen are left alone (a NULL flag counts as unseen): every send marks
  // its conversation, and a long conversation is marked page after page.
  db->Exec(sql + " and seeflag is not 1");
  return 1;
}

int TMessageStore::MarkRevokedByMsgId(long long msgid, const std::string& touser,
                                      const std::string& revoker) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  const bool group = IsGroupTarget(touser);
  // One-to-one ids are the server's across all peers: only the message's own sender
  // can take it back.
  std::string sql = group
                        ? "select id,fromuser,fromgroup from nq_message where msgid=" + Num(msgid) +
                              " and touser=" + SqlQuoted(touser) + " and totype=1"
                        : "select id from nq_message  where msgid=" + Num(msgid) +
                              " and totype=0 and fromuser=" + SqlQuoted(revoker);
  TRecordSet rows;
  int local = db->Exec(sql, &rows) ? rows.GetInt(0, 0) : 0;
  if (local > 0 && group &&
      !MayRecallInGroup(*db, rows.GetString(0, 1), rows.GetString(0, 2), touser, revoker)) {
    return 0;
  }
  if (local > 0) db->Exec("update nq_message set revokeflag=1  where id=" + Num(local));
  return local;
}

bool TMessageStore::MayRecallInGroup(TDBManager& db, const std::string& writer,
                                     const std::string& fromgroup, const std::string& group,
                                     const std::string& revoker) {
  if (revoker.empty()) return false;
  if (writer == revoker) return true;
  // Anyone else only as the owner or a manager of the group the message is in (or,
  // for a child group's message shown here, of the group it was written in). The
  // group list names every group's owner; managers are known from the member table.
  std::string groups = SqlQuoted(group);
  if (!fromgroup.empty() && fromgroup != group) groups += "," + SqlQuoted(fromgroup);
  TRecordSet roles;
  if (db.Exec("select 1 from nq_groupuser where groupid in (" + groups +
                  ") and account=" + SqlQuoted(revoker) + " and role in (1,2)",
              &roles) &&
      roles.GetRecordCount() > 0)
    return true;
  TRecordSet owner;
  return db.Exec("select 1 from nq_group where groupid in (" + groups +
                     ") and craccount=" + SqlQuoted(revoker),
                 &owner) &&
         owner.GetRecordCount() > 0;
}

int TMessageStore::DeleteMessage(int localId) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  TRecordSet message;
  if (!db->Exec("select totype from nq_message where id=" + Num(localId), &message) ||
      message.GetRecordCount() < 1) {
    return 0;
  }
  std::string totype = Num(message.GetInt(0, 0));
  if (!db->Exec("update nq_message set deleted=1 where ID=" + Num(localId))) return 0;

  TRecordSet conversations;
  db->Exec("select account from nq_messagenew where msgid=" + Num(localId) + " and isservice=0",
           &conversations);
  for (int i = 0; i < conversations.GetRecordCount(); ++i) {
    std::string key = SqlQuoted(conversations.GetString(i, 0));
    // Only messages of the same kind of conversation: a group and a user may share
    // an account text's number but never a conversation.
    TRecordSet previous;
    if (!db->Exec("select id,sendtime,msgtype,content from nq_message where (fromuser=" + key +
                      " or touser=" + key + ") and totype=" + totype +
                      " and deleted=0 order by id desc LIMIT 1",
                  &previous)) {
      continue;
    }
    if (previous.GetRecordCount() > 0 && previous.GetInt(0, 0) > 0) {
      db->Exec("update nq_messagenew set msgid=" + Num(previous.GetInt(0, 0)) + ",msgtype=" +
               Num(previous.GetInt(0, 2)) + ",content=" + SqlQuoted(previous.GetString(0, 3)) +
               ",crtime=" + SqlQuoted(previous.GetString(0, 1)) + " where account=" + key);
    } else {
      db->Exec("delete from nq_messagenew  where account=" + key);
    }
  }
  return 1;
}

int TMessageStore::ClearAtFlag(const std::string& peer) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  return db->Exec("update nq_message set atflag=0 where touser=" + SqlQuoted(peer));
}

int TMessageStore::SearchAtMsg(const std::string& peer, int atflag) {
  TAutoLock lock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  return db->QueryExists("select atflag from nq_message where atflag=" + Num(atflag) +
                         " and touser=" + SqlQuoted(peer));
}
