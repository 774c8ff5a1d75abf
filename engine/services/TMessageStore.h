#ifndef TESMO_SERVICES_TMESSAGESTORE_H
#define TESMO_SERVICES_TMESSAGESTORE_H

#include <string>

#include "services/TMsgRecord.h"

class TDBManager;

// Operations on nq_message and nq_messagenew shared by the send, receive and
// history paths and the facade. Each runs on the current account database under
// the database lock; every text pasted into SQL is escaped and every number is
// formatted from an integer.
class TMessageStore {
 public:
  // The conversation's numeric id: fromgroup's leading number when fromgroup is set
  // and touser names a group, fromuser's when touser is the own account, else
  // touser's.
  static long long PeerAccountId(const std::string& fromuser, const std::string& touser,
                                 const std::string& fromgroup);
  static long long PeerAccountId(const std::string& fromuser, const std::string& touser,
                                 const std::string& fromgroup, const std::string& ownAccount);

  // 1 and the row in out when the local id exists, else 0.
  static int LoadMessage(int localId, TMsgRecord* out);
  // Points the conversation row of account at a message: inserted when missing,
  // else replaced unless the row already holds a later message (a later crtime, or
  // the same second and a higher or equal local id). An empty time means now and
  // always replaces. 1 when written or kept, 0 when a statement failed.
  static int UpsertConversation(const std::string& account, int localId, int msgtype,
                                const std::string& content, const std::string& time);
  // Marks the conversation's messages seen, all of them or those up to localId.
  static int MarkConversationSeen(const std::string& peer, int localId);
  // Sets revokeflag on the message with the server id, recalled by revoker into
  // touser; its local id, 0 when none or when the revoker may not recall it. A
  // one-to-one message is recalled only by its sender (the own account included,
  // from another device); a group message by its writer, by the owner nq_group names
  // or by an owner or manager of the group as nq_groupuser knows them.
  static int MarkRevokedByMsgId(long long msgid, const std::string& touser,
                                const std::string& revoker);
  // Marks the message deleted and, when it was its conversation's latest, points the
  // conversation at the previous undeleted message of the same kind (type, content
  // and time included) or removes the conversation row when none is left. 1 when
  // the message was marked, 0 without a database or such a message.
  static int DeleteMessage(int localId);
  // Stores a message that arrived from the server (a push, or a local notice with
  // msgid -1) and keeps its conversation row. A positive msgid already stored in the
  // same conversation kind (the group for a group target, else one-to-one) is a
  // duplicate; so is a group notice of msgid -1 stored before for the same target and
  // pushId (the server id of the push it came with), or, without a pushId, with the
  // same target, text and time. Returns the new local id; 0 for a duplicate, without
  // a database or when a statement failed. An empty sendtime is stored as the local
  // time now.
  static int InsertReceivedMessage(long long msgid, const std::string& fromuser,
                                   const std::string& fromgroup, int device, int fromver,
                                   const std::string& touser, int msgtype,
                                   const std::string& content, const std::string& remark,
                                   const std::string& sendtime, int atflag, long long pushId = 0);

  // atflag of the conversation's messages back to 0; 1 on success.
  static int ClearAtFlag(const std::string& peer);
  // 1 when a message to peer carries the at flag.
  static int SearchAtMsg(const std::string& peer, int atflag);

  // The local time as "YYYY-MM-DD hh:mm:ss".
  static std::string NowText();

 private:
  static TDBManager* Database();
  static bool MayRecallInGroup(TDBManager& db, const std::string& writer,
                               const std::string& fromgroup, const std::string& group,
                               const std::string& revoker);
};

#endif
