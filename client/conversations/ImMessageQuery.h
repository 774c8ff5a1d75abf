#ifndef TESMO_CLIENT_CONVERSATIONS_IMMESSAGEQUERY_H
#define TESMO_CLIENT_CONVERSATIONS_IMMESSAGEQUERY_H

#include <QList>
#include <QString>

// Where a page of a conversation ends: the oldest row read, by send time and id.
// Rows are ordered newest first by (sendtime, id), so the next page is every row
// before this key.
struct ImPageKey {
  QString sendtime;
  int id = 0;
  bool isValid() const { return id > 0; }
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
  // Up to pageSize rows older than the key (the newest rows for an invalid key),
  // newest first; empty for a type other than 0 or 1.
  static QString page(const QString& account, int type, const ImPageKey& before, int pageSize);
  // The same rows as page() reached by an offset from the newest row.
  static QString pageAt(const QString& account, int type, int offset, int pageSize);
  // Every row from the send time on, newest first (a group also lists rows whose
  // sending group differs).
  static QString fromTime(const QString& account, int type, const QString& sendtime);
  // Marks every row of the conversation read.
  static QString markRead(const QString& account, int type);
  // Marks these rows read; empty without ids.
  static QString markRead(const QList<int>& ids);
};

#endif
