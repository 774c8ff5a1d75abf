#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONMANAGER_H

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "conversations/ImMessageQuery.h"
#include "shell/ImBaseListModel.h"

class ImMsgEntity;
class ImSessionManagerPrivate;
class UIMessage;

// The open conversation and its messages ("sessionManager"): the chat view's list
// model, the pipe for outgoing messages, the local history pages and the engine's
// reports about messages.
class ImSessionManager : public ImBaseListModel {
  Q_OBJECT
  Q_PROPERTY(QString myAccount READ myAccount WRITE setMyAccount NOTIFY myAccountChanged)
  Q_PROPERTY(QString currentSessionId READ currentSessionId WRITE setCurrentSessionId NOTIFY
                 currentSessionIdChanged)
  Q_PROPERTY(int currentSessionType READ currentSessionType WRITE setCurrentSessionType NOTIFY
                 currentSessionTypeChanged)
  Q_PROPERTY(
      int unReadMsgCount READ unReadMsgCount WRITE setUnReadMsgCount NOTIFY unReadMsgCountChanged)
  Q_PROPERTY(bool noMoreMsg READ noMoreMsg WRITE setNoMoreMsg NOTIFY noMoreMsgChanged)
  // Whether the chat page is on screen (its tab current). With the window active it
  // tells whether the user can see the open conversation; the page keeps it.
  Q_PROPERTY(
      bool chatPageShown READ chatPageShown WRITE setChatPageShown NOTIFY chatPageShownChanged)
  // Paging of the chat view: whether an older page is awaited, and the row that
  // stood at the view's top when it was asked for.
  Q_PROPERTY(bool pageAwaited READ pageAwaited NOTIFY pagingChanged)
  Q_PROPERTY(int pageTopRow READ pageTopRow NOTIFY pagingChanged)

 public:
  static constexpr int kPageSize = 30;
  static constexpr int kServerPageSize = 60;
  static constexpr int kKeptRows = 2 * kPageSize;

  static ImSessionManager* instance();

  QString myAccount() const;
  QString setMyAccount(const QString& account);
  QString currentSessionId() const;
  void setCurrentSessionId(const QString& sessionId);
  int currentSessionType() const;
  void setCurrentSessionType(int type);
  int unReadMsgCount() const;
  int setUnReadMsgCount(int count);
  bool noMoreMsg() const;
  bool setNoMoreMsg(bool noMore);
  bool chatPageShown() const;
  void setChatPageShown(bool shown);
  bool pageAwaited() const;
  int pageTopRow() const;

  // Sending.
  Q_INVOKABLE void sendTextMsg(const QString& toUser, const QString& content, int totype = 0,
                               bool atAll = false, const QStringList& atList = QStringList());
  Q_INVOKABLE void sendGifMsg(const QString& toUser, const QString& content, int totype = 0);
  Q_INVOKABLE void sendPicMsg(const QString& toUser, const QString& filePath, int totype = 0);
  Q_INVOKABLE void sendAudioMsg(const QString& toUser, const QString& filePath, int totype = 0);
  Q_INVOKABLE void sendVideoMsg(const QString& toUser, const QString& filePath, int totype = 0);
  Q_INVOKABLE void sendFileMsg(const QString& toUser, const QString& filePath, int totype = 0);
  Q_INVOKABLE QVariantMap buildTextMsg(const QString& toUser, const QString& content,
                                       int totype = 0, bool atAll = false,
                                       const QStringList& atList = QStringList());
  Q_INVOKABLE QVariantMap buildGifMsg(const QString& toUser, const QString& content,
                                      int totype = 0);
  Q_INVOKABLE QVariantMap buildPicMsg(const QString& toUser, const QString& filePath,
                                      int totype = 0);
  Q_INVOKABLE QVariantMap buildAudioMsg(const QString& toUser, const QString& filePath,
                                        int totype = 0);
  Q_INVOKABLE QVariantMap buildVideoMsg(const QString& toUser, const QString& filePath,
                                        int totype = 0);
  Q_INVOKABLE QVariantMap buildFileMsg(const QString& toUser, const QString& filePath,
                                       int totype = 0);
  Q_INVOKABLE void sendSyncTextMsg(const QStringList& toList, const QString& content,
                                   int totype = 0);
  Q_INVOKABLE void transmitMsg(const QStringList& toList, int id, int msgType,
                               const QString& content, int totype = 0);
  Q_INVOKABLE void updateDataToView(const QVariantMap& map);
  Q_INVOKABLE void repeatSendMsg(int id);
  Q_INVOKABLE void recallMsg(int id);
  Q_INVOKABLE void downloadFile(int id, const QString& url, const QString& filePath,
                                int needProgress = 1);
  Q_INVOKABLE bool checkFileExists(const QString& path);
  Q_INVOKABLE void translate(int id, const QString& from, const QString& to, const QString& text);
  Q_INVOKABLE void resetStatus();
  // No conversation is open any more (the account's session ended): its rows go,
  // and its messages count, sound and alert as any other's.
  void closeSession();
  void addDataToView(const QVariantMap& map);
  bool updateLocalPath(int id, const QString& path);

  // History.
  Q_INVOKABLE void entrySession(const QString& sessionId, int type, bool isFromContact = false,
                                const QString& name = QString(), const QString& icon = QString());
  Q_INVOKABLE void loadMoreMsg();
  Q_INVOKABLE QList<QVariantMap> queryMessages(const QString& account, int type, int messageIndex,
                                               int pageSize);
  QList<QVariantMap> queryMessage(const QString& account, int type, int msgid,
                                  const QString& sendtime);
  QList<QVariantMap> parseSqlParamToMsgs(long set, int targetMsgid = -1,
                                         ImPageKey* oldestRead = nullptr);
  int parseData(const QList<QVariantMap>& list);
  int getOldestServerId() const;
  ImMsgEntity* getMsgEntity(int id) const;
  int getMsgIndexByid(int id) const;
  Q_INVOKABLE QString getMsgRemark(int id);
  Q_INVOKABLE int getToLastAtMessage();
  Q_INVOKABLE void clearAtFlag(const QString& sessionId);
  Q_INVOKABLE void setAllMessageRead(const QString& account, int type);
  Q_INVOKABLE void updateUnReadMsgCount();
  Q_INVOKABLE void removeMsg(int id);
  Q_INVOKABLE void wipeData();
  // While the view stands at its end: lets the oldest rows go beyond the newest
  // `keep` (at least kKeptRows), so that a long conversation holds a bounded number
  // of items; paging reads them again. With `batch`, nothing goes until more than
  // `batch` rows are beyond (each release reads every kept row). The number of
  // rows let go.
  Q_INVOKABLE int releaseOlderRows(int keep, int batch = 0);
  // The view reached its top with `row` standing there: an older page is awaited,
  // and the message of that row is kept in place when it comes.
  Q_INVOKABLE void beginPage(int row);
  // Ends the wait for a page; the view stays where it is.
  Q_INVOKABLE void endPage();
  // Once rows came in above the message that stood at the top, the wait ends and
  // this is the row that message stands at now (-1 when it is gone); -1 without a
  // wait or while nothing came above it. Rows that came in below it (a message
  // sent or received meanwhile) are no page.
  Q_INVOKABLE int settlePage();
  // A history answer that brought nothing older ends the wait.
  Q_INVOKABLE void endPageWhenNothingCame();

  // Group notices.
  Q_INVOKABLE QString getGroupNotifyContent(const QString& content);
  // Whether getGroupNotifyContent gives the stored notice a line; safe on any
  // thread (it reads neither the manager nor the language).
  static bool noticeHasLine(const QString& content);

 signals:
  void myAccountChanged();
  void currentSessionIdChanged();
  void currentSessionTypeChanged();
  void unReadMsgCountChanged();
  void noMoreMsgChanged();
  void chatPageShownChanged();
  void pagingChanged();
  void listViewToEnd();
  void updateProgress(int id, int progress);
  void updateFileState(int id, int state);
  void recallMsgNotify(int state);
  void destroyGroupNotify(const QString& groupid);
  void atMsgNotify(const QString& account, const QString& name, const QString& logo, int atFlag);
  void needReloadMsg(const QString& account);
  void downloadHistoryFinished(bool success);

 public slots:
  void onNotify(const UIMessage* pMsg);
  void onFinishLoadAtMessage();
  void doLoadMoreHistory(bool success);

 private:
  ImSessionManager();
  explicit ImSessionManager(QList<QObject*>* items);
  ~ImSessionManager() override;

  QVariantMap buildOneMsg(const QString& toUser, const QString& content, int msgtype, int totype,
                          bool atAll, const QStringList& atList);
  // The next local page of the open conversation after the rows already read.
  int loadNextPage();
  void onNewMessage(const UIMessage* pMsg);
  // Fills the keys a message takes from its remark: sender, file, voice, picture
  // and price card fields. A live message always gets a local path for its file;
  // a history row only when it has none yet.
  void applyRemark(QVariantMap& map, const QVariantMap& remark, bool live);
  ImMsgEntity* itemOfDialog(int dialogId, QMap<int, int>& requests);
  // The texts the rows hold in the interface language (notices, recalls, red
  // envelopes) made again in the current one.
  void retranslateRows();
  // Keeps the open conversation's newest stored mention as the last @-message;
  // false when it has none.
  bool rememberStoredMention();
  // Where the message that stood at the top when a page was asked for stands now;
  // -1 when it is gone.
  int pageTopNow() const;
  // The engine's ClearAtFlag for a conversation.
  void clearStoredAtFlags(const QString& sessionId);

  QList<QObject*>* m_items;
  ImSessionManagerPrivate* d;
  friend class ImSessionManagerPrivate;
};

#endif
