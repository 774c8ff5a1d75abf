#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGERPRIVATE_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGERPRIVATE_H

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionRows.h"

class ImSessionThread;

// One conversation row. A rebuild reads the rows into these plain fields; the
// row's item (what QML and the manager's callers see) is made from them the
// first time something asks for it, and from then on the item alone holds the
// row's state. Rows of a rebuild that nobody looked at cost no item.
class ImSessionRow {
 public:
  // A text of a rebuilt row: UTF-8 bytes in the buffer that all rows of one
  // rebuild share, so that a row's texts cost no allocation of their own.
  struct Text {
    int offset = 0;
    int length = 0;
  };

  // The fields the list query gives, in its column order; `content` is the
  // text the row shows.
  int id = 0;
  int msgid = 0;
  int msgtype = 0;
  Text fromuser;
  Text fromgroup;
  Text fromver;
  int device = 0;
  Text touser;
  int totype = 0;
  Text content;
  Text remark;
  Text localpath;
  Text fileurl;
  int sendflag = 0;
  int sendstate = 0;
  int localsend = 0;
  int seeflag = 0;
  int atflag = 0;
  int cancelflag = 0;
  Text sendtime;
  int deleted = 0;
  // 1 when the newest message is a recall notice: the row reads as a recall.
  int revokeflag = 0;

  // The row's own fields; the optional ones exist only when their bit in
  // `present` is set, as a key of the item's map would.
  enum Field : unsigned {
    kName = 1u << 0,
    kIcon = 1u << 1,
    kFromName = 1u << 2,
    kChampflag = 1u << 3,
    kTitle = 1u << 4,
    kParentName = 1u << 5,
    kGroupstate = 1u << 6,
    kIsMute = 1u << 7,
    kUnReadMsgCount = 1u << 8,
  };
  QString account;
  Text name;
  Text icon;
  Text fromName;
  Text parentName;
  int champflag = 0;
  int title = 0;
  int groupstate = 0;
  int unReadMsgCount = 0;
  bool isMute = false;
  unsigned present = 0;

  // The rebuild's text buffer.
  QByteArray texts;
  // The row's item once made; null before (and after it was destroyed).
  QPointer<ImMsgEntity> entity;

  QString text(Text t) const { return QString::fromUtf8(texts.constData() + t.offset, t.length); }
  // The item's map as the row's fields give it.
  QVariantMap toMap() const;
  // Readers and writers of what the list itself uses: the item's property
  // when the item exists, else the field. A write follows the item's setter
  // rule (nothing stored when the value is the one already read).
  int totypeOf() const { return entity ? entity->totype() : totype; }
  int unReadMsgCountOf() const { return entity ? entity->unReadMsgCount() : unReadMsgCount; }
  void setUnReadMsgCount(int count);
  void setAtflag(int flag);
};

// The text buffer of one rebuild while its rows are read.
class ImSessionTexts {
 public:
  explicit ImSessionTexts(int reserve) { m_buffer.reserve(reserve); }
  ImSessionRow::Text add(const char* data, int length) {
    const ImSessionRow::Text text{m_buffer.size(), length};
    m_buffer.append(data, length);
    return text;
  }
  ImSessionRow::Text add(const char* data) { return add(data, int(qstrlen(data))); }
  ImSessionRow::Text add(const QString& text) { return add(text.toUtf8()); }
  ImSessionRow::Text add(const QByteArray& bytes) { return add(bytes.constData(), bytes.size()); }
  // The bytes of a text, valid until the next add.
  const char* data(ImSessionRow::Text text) const { return m_buffer.constData() + text.offset; }
  QByteArray bytes(ImSessionRow::Text text) const {
    return QByteArray::fromRawData(data(text), text.length);
  }
  const QByteArray& buffer() const { return m_buffer; }

 private:
  QByteArray m_buffer;
};

// The conversation list's own data.
class ImSessionListManagerPrivate {
 public:
  explicit ImSessionListManagerPrivate(QObject* threadParent);
  ~ImSessionListManagerPrivate();

  // The display fields of a conversation row that the message map leaves open:
  // names and avatars from the remark, the engine's contact cache and the
  // contact and group lists; group marks from the group list. `peer` is the
  // person of a one-to-one row.
  static void decorate(QVariantMap& map, const QString& account, const QString& peer);
  // The same for a rebuilt row's fields, its texts in `texts`.
  static void decorate(ImSessionRow& row, ImSessionTexts& texts, ImSessionRow::Text peer);
  // Whether a stored message shows nothing in the chat: a group notice without a
  // line, or a recall notice that the rights rule refuses. Safe on the counters
  // thread: it reads only the database and the settings.
  static bool showsNothing(int msgtype, const QString& content, const QString& fromuser,
                           const QString& touser, int totype);
  // The text a rebuilt row shows for its newest message.
  static QString shownContent(int msgtype, const QString& content, int sendflag);
  // Whether the list table names another message than this local id as the
  // conversation's newest; false without an id or a list entry.
  static bool superseded(const QString& account, int id);
  // Whether the conversation's newest message is this local id or the recall
  // notice that names it; true without a list entry, as for superseded.
  static bool showsRecallOf(const QString& account, int id);
  // The name a group row's preview starts with: the user's own for the user's
  // messages (a forward carries the remark of its source), else the remark's, the
  // engine's contact cache's, the contact list's or the group's member list's;
  // empty when none is known.
  static QString senderName(const QString& fromuser, int sendflag, const QString& remarkNick,
                            const QString& group);
  // senderName for a message map of a group conversation, followed by ": ".
  static QString groupFromName(const QVariantMap& map, const QString& group);
  // The engine's champion flag text of an account as a number, 0 when empty.
  static int champFlagOf(const QString& account);

  // The newest undeleted message of every conversation, newest first. The list
  // table drives the join: walking the message table in time order instead
  // visits every message to find one per conversation.
  static const char* const kListQuery;

  ImSessionRows list;
  ImSessionThread* thread;
  // The badge as last pushed; answers of the worker adjust it.
  int unreadTotal = 0;
};

#endif
