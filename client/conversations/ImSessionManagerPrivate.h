#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGERPRIVATE_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGERPRIVATE_H

#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "conversations/ImMessageQuery.h"

class ImMsgEntity;
class ImMsgThread;

// The state of the open conversation, and the message building that the worker
// thread shares: buildMsg reads nothing the main thread changes.
class ImSessionManagerPrivate {
 public:
  ImSessionManagerPrivate();
  ~ImSessionManagerPrivate();
  ImSessionManagerPrivate(const ImSessionManagerPrivate&) = delete;
  ImSessionManagerPrivate& operator=(const ImSessionManagerPrivate&) = delete;

  // The "to" object of the remark (nick and logo of the target); main thread only,
  // it reads the contact and group lists.
  static QVariantMap targetOf(const QString& toUser, int totype);
  // Stores the message through the engine and returns its map. Safe on any thread:
  // the target's names come in as "to", and firstInView says whether the chat view
  // was empty.
  static QVariantMap buildMsg(const QString& toUser, const QString& content, int msgtype,
                              int totype, bool atAll, const QStringList& atList,
                              const QVariantMap& to, bool firstInView);
  // A file name from the network made safe and unique for the message: base name
  // only, no control characters, bounded, prefixed with the message id.
  static QString safeFileName(const QString& name, int id);
  // Whether the path lies inside the signed-in account's folder.
  static bool isInAccountFolder(const QString& path);
  // One column of a stored message as text; empty when there is no such message.
  static QString storedField(int id, const char* column);
  // The remark JSON stored with a message; empty when there is none.
  static QString storedRemark(int id);
  // The local file path stored with a message; empty when there is none.
  static QString storedLocalPath(int id);
  // The web address a sent file message was stored with; empty while there is none.
  static QString storedFileUrl(int id);
  // Only web files are fetched without the user asking.
  static bool isWebUrl(const QString& url);

  QMap<int, ImMsgEntity*> msgMap;
  QString myAccount;
  QString currentSessionId;
  int loadedPageCount = 0;
  // Rows of local history read since the conversation was opened, skipped rows
  // included; pageKey is where the next page starts.
  int loadedRowCount = 0;
  ImPageKey pageKey;
  int currentSessionType = 0;
  int unReadMsgCount = 0;
  bool noMoreMsg = false;
  QDateTime lastMessageTime;
  ImMsgThread* msgThread;
  bool atMessageLoading = false;
  ImMsgEntity* lastAtMessage = nullptr;
  QString lastNoticeType;
  // The open conversation was marked read whole since it was opened and since
  // history (which may bring unseen rows) was last stored; after that only the
  // received messages it showed since can be unseen.
  bool readMarked = false;
  QSet<int> unseenShown;
  // Rows let go since the heap's free pages last went back to the system.
  int releasedRows = 0;
  // Dialog id of each open download and translation request -> local message id.
  QMap<int, int> downloads;
  QMap<int, int> translations;
};

#endif
