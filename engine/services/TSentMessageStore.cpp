#include "services/TSentMessageStore.h"

#include <climits>

#include "base/TAPIPacket.h"
#include "base/TAutoLock.h"
#include "db/SqlText.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"
#include "services/TServiceContext.h"
#include "services/TServiceDatabase.h"
#include "util/TTextUtil.h"
#include "util/TTimeUtil.h"

namespace {

TDBManager* Database() { return ServiceDatabase(); }

std::string Num(long long value) { return std::to_string(value); }

// Runs an update and tells whether it changed a row. The caller holds the
// database lock, so changes() belongs to this statement.
bool UpdateRow(TDBManager* db, const std::string& sql) {
  return db->Exec(sql) && db->QueryInt("select changes()", 0) > 0;
}

}  // namespace

int TSentMessageStore::InsertSentMessage(int msgtype, const std::string& touser,
                                         const std::string& content, const std::string& localpath,
                                         const std::string& remark, int fwflag) {
  TAutoLock insertLock(MessageInsertLock());
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const bool group = IsGroupTarget(touser);
  const std::string fromgroup = group ? touser : std::string();
  const std::string sendtime = GetLocalTimeString();

  std::string sql =
      "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,touser,"
      "totype,content,remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,atflag,"
      "sendtime,fwflag) values(0," +
      Num(TMessageStore::PeerAccountId(own, touser, fromgroup, own)) + "," + Num(msgtype) + "," +
      SqlQuoted(own) + "," + SqlQuoted(fromgroup) + "," + Num(core ? core->GetVersion() : 0) + "," +
      Num(core ? core->GetDeviceType() : 0) + "," + SqlQuoted(touser) + "," + Num(group ? 1 : 0) +
      "," + SqlQuoted(content) + "," + SqlQuoted(remark) + "," + SqlQuoted(localpath) + ",''," +
      "1," + Num(kSendStateSending) + ",1,1,0," + SqlQuoted(sendtime) + "," + Num(fwflag) + ")";

  long long rowid = 0;
  {
    // Other threads insert too (received messages, history, the program's own SQL):
    // the row id is read on the same connection before anyone else can insert.
    TAutoLock dbLock(DatabaseMutex());
    TDBManager* db = Database();
    if (!db || !db->Exec(sql)) return 0;
    rowid = db->QueryInt("select last_insert_rowid()", 0);
  }
  if (rowid <= 0 || rowid > INT_MAX) return 0;
  const int id = static_cast<int>(rowid);
  TMessageStore::UpsertConversation(touser, id, msgtype, content, sendtime);
  TMessageStore::MarkConversationSeen(touser, id);
  return id;
}

int TSentMessageStore::MarkSent(int localId, int64_t msgid, const std::string& time,
                                const std::string& content) {
  if (msgid <= 0 || Trim(time).empty()) return 0;
  TAutoLock dbLock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  std::string sql = "update nq_message set msgid=" + Num(msgid) + ",sendtime=" + SqlQuoted(time) +
                    ",sendstate=" + Num(kSendStateSent);
  if (!content.empty()) sql += ",content=" + SqlQuoted(content);
  sql += " where id=" + Num(localId);
  if (!UpdateRow(db, sql)) return 0;
  // The conversation whose latest message this is takes the server's time.
  db->Exec("update nq_messagenew set crtime=" + SqlQuoted(time) + " where msgid=" + Num(localId) +
           " and isservice=0");
  return 1;
}

int TSentMessageStore::MarkSendFailed(int localId) {
  TAutoLock dbLock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  return db->Exec("update nq_message set sendstate=" + Num(kSendStateFailed) +
                  " where id=" + Num(localId));
}

int TSentMessageStore::MarkRevoked(int localId) {
  TAutoLock dbLock(DatabaseMutex());
  TDBManager* db = Database();
  if (!db) return 0;
  return UpdateRow(db, "update nq_message set revokeflag=1  where id=" + Num(localId)) ? 1 : 0;
}
