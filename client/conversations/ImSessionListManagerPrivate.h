#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGERPRIVATE_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGERPRIVATE_H

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

class ImMsgEntity;
class ImSessionThread;

// The conversation list's own data. Invariant: every model row is in `sessions`
// under its own account, every entry is a model row, one row per account.
class ImSessionListManagerPrivate {
 public:
  explicit ImSessionListManagerPrivate(QObject* threadParent);
  ~ImSessionListManagerPrivate();

  // The display fields of a conversation row that the message map leaves open:
  // names and avatars from the remark, the engine's contact cache and the
  // contact and group lists; group marks from the group list. `peer` is the
  // person of a one-to-one row.
  static void decorate(QVariantMap& map, const QString& account, const QString& peer);
  // The text a rebuilt row shows for its newest message.
  static QString shownContent(const QVariantMap& map);
  // Whether the list table names another message than this local id as the
  // conversation's newest; false without an id or a list entry.
  static bool superseded(const QString& account, int id);
  // The engine's champion flag text of an account as a number, 0 when empty.
  static int champFlagOf(const QString& account);

  // The newest undeleted message of every conversation, newest first. The list
  // table drives the join: walking the message table in time order instead
  // visits every message to find one per conversation.
  static const char* const kListQuery;

  QList<QObject*> items;
  QMap<QString, ImMsgEntity*> sessions;
  ImSessionThread* thread;
  // The badge as last pushed; answers of the worker adjust it.
  int unreadTotal = 0;
};

#endif
