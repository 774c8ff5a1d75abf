// The rows of outgoing messages in nq_message: born "sending", then marked sent
// with the server's id and time, or failed.
#ifndef TESMO_SERVICES_TSENTMESSAGESTORE_H
#define TESMO_SERVICES_TSENTMESSAGESTORE_H

#include <cstdint>
#include <string>

// Send states of the sendstate column.
enum TSendState { kSendStateFailed = 0, kSendStateSent = 1, kSendStateSending = 2 };

class TSentMessageStore {
 public:
  // Stores a new outgoing row (state "sending"), points its conversation at it and
  // marks the conversation read up to it. The local id of exactly this row, 0 when
  // nothing was stored.
  static int InsertSentMessage(int msgtype, const std::string& touser, const std::string& content,
                               const std::string& localpath, const std::string& remark, int fwflag);
  // State "sent" with the server's id and time (and the download URL as content
  // when not empty); the conversation takes the server time. 1 when the row was
  // written, 0 when msgid or time is missing or nothing was written.
  static int MarkSent(int localId, int64_t msgid, const std::string& time,
                      const std::string& content);
  // State "failed"; 1 when the statement ran.
  static int MarkSendFailed(int localId);
  // Sets revokeflag on the row; 1 when a row was written.
  static int MarkRevoked(int localId);
};

#endif
