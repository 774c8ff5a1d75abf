#ifndef TESMO_CLIENT_CONVERSATIONS_IMMESSAGEQUERY_H
#define TESMO_CLIENT_CONVERSATIONS_IMMESSAGEQUERY_H

#include <QList>
#include <QString>

// Where a page of a conversation ends: the send time of the oldest row read and
// the rows of that second already read. The next page reads that second again
// without those rows: a row stored later in the same second (an older message
// from the server gets a higher id) is not skipped.
struct ImPageKey {
  QString sendtime;
  QList<int> ids;
  bool isValid() const { return !ids.isEmpty(); }
  // Moves to the oldest second of the next page; rows of one second add up.
  void advance(const ImPageKey& next) {
    if (!next.isValid()) return;
    if (isValid() && next.sendtime == sendtime) {
      ids += next.ids;
    } else {
      *this = next;
    }
  }
};

// The columns of a message row in the order the conversation queries read them;
// the list of conversations reads all but the last.
namespace ImMessageColumns {
enum Column {
  kId,
  kMsgid,
  kMsgtype,
  kFromuser,
  kFromgroup,
  kFromver,
  kDevice,
  kTouser,
  kTotype,
  kContent,
  kRemark,
  kLocalpath,
  kFileurl,
  kSendflag,
  kSendstate,
  kLocalsend,
  kSeeflag,
  kAtflag,
  kCancelflag,
  kSendtime,
  kDeleted,
  kRevokeflag,
  kColumnCount
};
}  // namespace ImMessageColumns

// The statements that read a conversation from nq_message. A one-to-one
// conversation is two index-ordered halves (rows the peer sent, rows sent to the
// peer) merged, and a group one reads its own index, so a page costs the same at
// any depth instead of sorting the whole conversation.
class ImMessageQuery {
 public:
  // The columns of a message map, in the order they are read (ImMessageColumns).
  static const char kColumns[];

  // The value as an SQL text literal.
  static QString quoted(const QString& value);
  // Up to pageSize rows not read before the key (the newest rows for an invalid
  // key), newest first; empty for a type other than 0 or 1.
  static QString page(const QString& account, int type, const ImPageKey& before, int pageSize);
  // The same rows as page() reached by an offset from the newest row.
  static QString pageAt(const QString& account, int type, int offset, int pageSize);
  // Every row from the send time on, newest first (a group also lists rows whose
  // sending group differs).
  static QString fromTime(const QString& account, int type, const QString& sendtime);
  // Marks the rows of the conversation that are not read yet read; with `after`,
  // only rows of a higher id.
  static QString markRead(const QString& account, int type, int after = 0);
};

#endif
