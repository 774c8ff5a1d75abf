#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGERPRIVATE_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGERPRIVATE_H

#include <QDateTime>
#include <QMap>
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
  // Whether a recall notice from `recaller` in the conversation `key` may take back
  // the message with that local id: its sender may, and in a group its owner or a
  // manager; never a message of another conversation.
  static bool mayRecall(const QString& recaller, const QString& key, int totype, int id);
  // The same rule, telling a refusal from a message that is not stored at all.
  enum class Recall { Allowed, Refused, Unknown };
  static Recall recallVerdict(const QString& recaller, const QString& key, int totype, int id);
  // Whether a stored recall mark of the message with that local id holds: some
  // recall notice naming it came from one who may take it back, or none names it
  // (the mark alone is all there is). Rows marked by an engine that did not check
  // the rights show again.
  static bool recallStands(int id);
  // Marks one stored message read.
  static void markSeen(int id);
  // The highest local message id (ids only grow); 0 for an empty table.
  static int newestMessageId();
  // Whether a message to the conversation with an id above `after` mentions the
  // user; the id range keeps the look-up short.
  static bool hasMentionAfter(const QString& account, int after);
  // The newest message of the conversation that mentions the user, as a map with
  // "id", "msgid" and "sendtime"; empty when there is none.
  static QVariantMap storedLastMention(const QString& account, int type);
  // The name a message's sender is shown by: the engine's contact cache, else the
  // remark's nick, else the contact list's name; empty when none is known.
  static QString senderName(const QString& fromuser, const QString& remarkNick);
  // The line of a recall notice by the named sender, in the current language.
  static QString recallLine(const QString& name);
  // Only web files are fetched without the user asking.
  static bool isWebUrl(const QString& url);
  // Whether a message sent at `time` gets a time label after one sent at `previous`:
  // more than two minutes later, or either time unreadable.
  static bool startsAfterGap(const QString& previous, const QString& time);

  QMap<int, ImMsgEntity*> msgMap;
  QString myAccount;
  QString currentSessionId;
  // Where the next page of local history starts.
  ImPageKey pageKey;
  int currentSessionType = 0;
  int unReadMsgCount = 0;
  bool noMoreMsg = false;
  bool chatPageShown = false;
  // The chat view's wait for an older page: the row and the local id of the
  // message that stood at its top then, and the row count then.
  bool pageAwaited = false;
  int pageTopRow = -1;
  int pageTopId = -1;
  int countBeforePage = 0;
  QDateTime lastMessageTime;
  ImMsgThread* msgThread;
  bool atMessageLoading = false;
  ImMsgEntity* lastAtMessage = nullptr;
  // The conversation lastAtMessage belongs to.
  QString lastAtAccount;
  QString lastNoticeType;
  // Rows let go since the heap's free pages last went back to the system.
  int releasedRows = 0;
  // The conversation marked read last, and the table's newest id then: every row
  // of it up to that id is read.
  QString readAccount;
  int readType = -1;
  int readUpTo = 0;
  // The same for the conversation whose mention flags were cleared last.
  QString atClearedAccount;
  int atClearedUpTo = 0;
  // The open history request: its dialog id (0 when none) and its conversation;
  // only its answer goes on to paging.
  int historyDialog = 0;
  QString historyAccount;
  // Dialog id of each open download and translation request -> local message id.
  QMap<int, int> downloads;
  QMap<int, int> translations;
};

#endif
