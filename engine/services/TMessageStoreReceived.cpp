// Storing the messages that other clients (or other devices of this account) sent.
#include <climits>

#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"
#include "services/TSentMessageStore.h"
#include "services/TServiceContext.h"

namespace {
std::string Num(long long v) { return std::to_string(v); }
}  // namespace

int TMessageStore::InsertReceivedMessage(long long msgid, const std::string& fromuser,
                                         const std::string& fromgroup, int device, int fromver,
                                         const std::string& touser, int msgtype,
                                         const std::string& content, const std::string& remark,
                                         const std::string& sendtime, int atflag) {
  TAutoLock insertLock(MessageInsertLock());
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const int ownDevice = core ? core->GetDeviceType() : 0;
  const bool group = IsGroupTarget(touser);
  const bool fromOwn = !own.empty() && fromuser == own;
  const std::string time = sendtime.empty() ? NowText() : sendtime;

  long long rowid = 0;
  {
    TAutoLock dbLock(DatabaseMutex());
    TDBManager* db = Database();
    if (!db) return 0;
    if (msgid > 0) {
      const std::string duplicate =
          group ? "select id from nq_message where msgid=" + Num(msgid) +
                      " and touser=" + SqlQuoted(touser)
                : "select id from nq_message where msgid=" + Num(msgid) + " and totype=0";
      if (db->QueryExists(duplicate)) return 0;
    }
    const std::string sql =
        "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,"
        "touser,totype,content,remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,"
        "atflag,sendtime) values(" +
        Num(msgid) + "," + Num(PeerAccountId(fromuser, touser, fromgroup, own)) + "," +
        Num(msgtype) + "," + SqlQuoted(fromuser) + "," + SqlQuoted(fromgroup) + "," + Num(fromver) +
        "," + Num(device) + "," + SqlQuoted(touser) + "," + Num(group ? 1 : 0) + "," +
        SqlQuoted(content) + "," + SqlQuoted(remark) + ",'',''," + Num(fromOwn ? 1 : 0) + "," +
        Num(kSendStateSent) + "," + Num(fromOwn && device == ownDevice ? 1 : 0) + ",0," +
        Num(atflag) + "," + SqlQuoted(time) + ")";
    if (!db->Exec(sql)) return 0;
    // Read on the same connection under the lock: another thread's insert between
    // the two statements cannot be mistaken for this row.
    rowid = db->QueryInt("select last_insert_rowid()", 0);
  }
  if (rowid <= 0 || rowid > INT_MAX) return 0;
  const int id = static_cast<int>(rowid);

  if (!group) {
    UpsertConversation(fromOwn ? touser : fromuser, id, msgtype, content, time);
  } else if (fromgroup == touser) {
    // A message of a child group shown in its parent leaves the parent's row alone.
    UpsertConversation(touser, id, msgtype, content, time);
  }
  // Written from another device of this account: the conversation is read up to here.
  if (fromOwn) MarkConversationSeen(touser, id);
  return id;
}
