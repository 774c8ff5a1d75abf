// The texts of the send path that need no server and no database: request
// arguments, send bodies, remark rewrites and the reading of the send reply.
#ifndef TESMO_SERVICES_TMESSAGETEXT_H
#define TESMO_SERVICES_TMESSAGETEXT_H

#include <cstdint>
#include <string>

// Send results as the caller sees them in the reply's a field. A server code other
// than 1 is passed through as it is, except 0, which would read as success.
enum TSendResult {
  kSendOk = 0,
  kSendNoMessage = 11,    // no local id, unknown row, or the upload failed
  kSendBadReply = 13,     // not a JSON object, or accepted without msgid and time
  kSendCodeZero = 14,     // the server answered "code" 0
  kSendStoreFailed = 15,  // the server accepted, but the row could not be marked
  kSendLoginOver = 16,    // queued by a login that ended before it went out: not sent
};

// The last component of a path: after the last "/" or "\"; the whole text when it
// has neither.
std::string ExtractFileName(const std::string& path);

// The remark of a file message: the caller's object with "filename" (the path's
// last component) and "filesize" (bytes) added. Always a JSON object text, whatever
// the caller passed (empty, "{}", a trailing comma, not JSON at all).
std::string RebuildFileRemark(const std::string& remark, const std::string& path, int64_t size);

// The remark of a forwarded copy: the "from" entry names the own user and the "to"
// entry the new target (an empty object when the target is unknown). Entries that
// the remark does not have are not added; an empty remark stays empty.
std::string ReplaceForwardEntries(const std::string& remark, const std::string& ownLogo,
                                  const std::string& ownNick, bool targetKnown,
                                  const std::string& targetLogo, const std::string& targetNick);

// The argument text of requests 200201/200202: "id" (decimal text), "touser",
// "msgtype", then bodyKey ("msg" or "file") with bodyValue, then "remark".
std::string BuildSendArguments(int localId, const std::string& touser, int msgtype,
                               const std::string& bodyKey, const std::string& bodyValue,
                               const std::string& remark);

// The send and recall request body: the client fields, "type", "touser", "content",
// "remark" and "finger". A type outside the table goes out as "msg".
std::string BuildSendBody(int msgtype, const std::string& touser, const std::string& content,
                          const std::string& remark);
// "/im/message/group/send.do" for a group target, else "/im/message/user/send.do".
std::string SendPath(const std::string& touser);

// The server's message id: a plain positive decimal integer (a JSON number or a
// text of digits); 0 for anything else, which counts as missing.
int64_t ParseServerMessageId(const std::string& text);

// What a send or recall reply says.
struct TSendReply {
  int result = kSendBadReply;  // kSendOk only with a message id and a time
  int64_t msgid = 0;
  std::string time;
};
TSendReply ReadSendReply(const std::string& reply);

#endif
