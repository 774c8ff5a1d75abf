// Storing the messages that other clients (or other devices of this account) sent.
#include <climits>

#include "base/TAutoLock.h"
#include "db/TDBManager.h"
#include "db/TDatabaseLock.h"
#include "db/TSaveInfoType.h"
#include "db/TSqlStatement.h"
#include "services/TMessageInsertLock.h"
#include "services/TMessageStore.h"
#include "services/TMessageType.h"
#include "services/TSentMessageStore.h"
#include "services/TServiceContext.h"

namespace {

// Compiled once per connection: a push is stored in a few statements, and compiling
// their texts cost more than running them.
const char kDuplicateSql[] = "select id from nq_message where msgid=? and totype=0";
const char kGroupDuplicateSql[] = "select id from nq_message where msgid=? and touser=?";
const char kNoticeDuplicateSql[] =
    "select id from nq_message where msgid=-1 and msgtype=? and touser=? and content=? and "
    "sendtime=?";
constexpr long long kLocalNoticeId = -1;
const char kInsertSql[] =
    "insert into nq_message(msgid,accountid,msgtype,fromuser,fromgroup,fromver,device,touser,"
    "totype,content,remark,localpath,fileurl,sendflag,sendstate,localsend,seeflag,atflag,"
    "sendtime) values(?,?,?,?,?,?,?,?,?,?,?,'','',?,?,?,0,?,?)";

}  // namespace

int TMessageStore::InsertReceivedMessage(long long msgid, const std::string& fromuser,
                                         const std::string& fromgroup, int device, int fromver,
                                         const std::string& touser, int msgtype,
                                         const std::string& content, const std::string& remark,
                                         const std::string& sendtime, int atflag,
                                         long long pushId) {
  TAutoLock insertLock(MessageInsertLock());
  TServiceContext* core = TServiceContext::Instance();
  const std::string own = core ? core->GetAccount() : std::string();
  const int ownDevice = core ? core->GetDeviceType() : 0;
  const bool group = IsGroupTarget(touser);
  const bool fromOwn = !own.empty() && fromuser == own;
  const std::string time = sendtime.empty() ? NowText() : sendtime;

  long long rowid = 0;
  std::string noticeKey;
  {
    TAutoLock dbLock(DatabaseMutex());
    TDBManager* db = Database();
    if (!db) return 0;
    if (msgid > 0) {
      if (TSqlStatement* duplicate = db->Cached(group ? kGroupDuplicateSql : kDuplicateSql)) {
        duplicate->BindInt(1, msgid);
        if (group) duplicate->BindText(2, touser);
        const TSqlStatement::StepResult found = duplicate->Step();
        duplicate->Reset();
        if (found == TSqlStatement::kRow) return 0;
      }
    } else if (msgid == kLocalNoticeId && msgtype == kGroupNotifyType && pushId > 0) {
      // A group notice stored without the server's id (the own account lost the
      // group) comes again with every repeat of its push, which keeps its own id.
      noticeKey = touser + "#" + std::to_string(pushId);
      if (!db->GetSaveInfo(kSaveInfoLostGroupNotice, noticeKey).empty()) return 0;
    } else if (msgid == kLocalNoticeId && msgtype == kGroupNotifyType) {
      // Without the push's id: once per group and event, the event being its text
      // and time.
      if (TSqlStatement* duplicate = db->Cached(kNoticeDuplicateSql)) {
        duplicate->BindInt(1, msgtype);
        duplicate->BindText(2, touser);
        duplicate->BindText(3, content);
        duplicate->BindText(4, time);
        const TSqlStatement::StepResult found = duplicate->Step();
        duplicate->Reset();
        if (found == TSqlStatement::kRow) return 0;
      }
    }
    TSqlStatement* insert = db->Cached(kInsertSql);
    if (!insert) return 0;
    int i = 0;
    insert->BindInt(++i, msgid);
    insert->BindInt(++i, PeerAccountId(fromuser, touser, fromgroup, own));
    insert->BindInt(++i, msgtype);
    insert->BindText(++i, fromuser);
    insert->BindText(++i, fromgroup);
    insert->BindInt(++i, fromver);
    insert->BindInt(++i, device);
    insert->BindText(++i, touser);
    insert->BindInt(++i, group ? 1 : 0);
    insert->BindText(++i, content);
    insert->BindText(++i, remark);
    insert->BindInt(++i, fromOwn ? 1 : 0);
    insert->BindInt(++i, kSendStateSent);
    insert->BindInt(++i, fromOwn && device == ownDevice ? 1 : 0);
    insert->BindInt(++i, atflag);
    insert->BindText(++i, time);
    const TSqlStatement::StepResult inserted = insert->Step();
    insert->Reset();
    if (inserted != TSqlStatement::kDone) return 0;
    // Read on the same connection under the lock: another thread's insert between
    // the two statements cannot be mistaken for this row.
    rowid = db->LastInsertRowId();
    if (!noticeKey.empty() && rowid > 0)
      db->SetSaveInfoInt(kSaveInfoLostGroupNotice, noticeKey, rowid);
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
