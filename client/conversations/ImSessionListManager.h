#ifndef TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H
#define TESMO_CLIENT_CONVERSATIONS_IMSESSIONLISTMANAGER_H

#include <QList>
#include <QString>
#include <QVariantMap>
#include <memory>

#include "conversations/ImMsgEntity.h"
#include "shell/ImBaseListModel.h"
#include "shell/UIMessage.h"

class ImSessionListManagerPrivate;
class ImSessionRow;

// The conversation list ("sessionListManager"): one row per person or group,
// shown by the conversation's newest message, with its unread count and @-flag.
// Rows are owned here; the counters come from the counters thread.
class ImSessionListManager : public ImBaseListModel {
  Q_OBJECT

 public:
  static ImSessionListManager* instance();

  // Public for tests; the program uses instance().
  ImSessionListManager();
  ~ImSessionListManager() override;

  // Rebuilds the list from the local database, newest conversation first.
  Q_INVOKABLE void initData();
  Q_INVOKABLE void wipeData();
  // Updates or creates the row of one message's conversation. With isEmpty an
  // existing row keeps its text and time and only moves and recounts.
  Q_INVOKABLE void updateData(const QVariantMap& map, bool isEmpty);
  Q_INVOKABLE void updateData(const QVariantMap& map);
  // The row reads as a recall when it shows the recalled message (local id) or
  // the recall notice of it; sendflag 1 when the user recalled it.
  void markRecalled(const QString& account, int id, int sendflag, const QString& fromName);
  // Forgets a conversation: hidden in the database and gone from the list.
  Q_INVOKABLE void removeSession(const QString& account);
  Q_INVOKABLE void updateMsgCount(const QString& account, int type);
  Q_INVOKABLE void updateAtFlag(const QString& account);
  Q_INVOKABLE void resetUnReadMsgCount(const QString& account);
  Q_INVOKABLE void resetAtflag(const QString& account);
  Q_INVOKABLE int getNextUnReadIndex();
  Q_INVOKABLE QString getSessionAccount(int index);
  Q_INVOKABLE QString getSessionName(int index);
  Q_INVOKABLE QString getSessionIcon(int index);
  Q_INVOKABLE int getSessionTotype(int index);
  Q_INVOKABLE int getSessionTitle(int index);
  Q_INVOKABLE int getSessionChampFlag(int index);
  Q_INVOKABLE ImMsgEntity* getSession(const QString& account) const;
  Q_INVOKABLE void setSessionName(const QString& account, const QString& name);
  Q_INVOKABLE int searchAtMsg(const QString& account, int flag);
  // Unread messages of every conversation but the muted ones.
  Q_INVOKABLE int getAllUnReadMsgCount();

  // Puts a built row list into the model, the list's last item at row 0.
  void parseData(const QList<QObject*>& itemList);
  // Pushes the unread total to the chat tab's badge.
  void doUpdateUnReadMsgCount();
  // Whether the rows, their items and the index by account agree.
  bool rowsConsistent() const;

 signals:
  void dataComplete();

 public slots:
  void onNotify(const UIMessage* pMsg);
  void onMsgCountChange(const QString& account, int count);
  void onMsgAtFlagChange(const QString& account, int atFlag);

 private:
  explicit ImSessionListManager(std::unique_ptr<ImSessionListManagerPrivate> data);
  void rowsInsertedHook(int first, int count) override;
  void rowsRemovedHook(int first, int count) override;
  void rowMovedHook(int from, int to) override;
  void rowsResetHook() override;
  // Deletes every row; false when there was none.
  bool deleteRows();
  // Lists rebuilt rows in the given order at the top, without their items.
  void insertRows(const QList<ImSessionRow*>& rows);
  // The row's item, made (and listed at its row) when it does not exist yet.
  ImMsgEntity* entityOf(ImSessionRow* row) const;
  // A row's value for the getters by index: from the item when it exists,
  // else from the row's fields; the type's empty value outside the list.
  template <typename Value, typename FromItem, typename FromRow>
  Value readRow(int index, FromItem fromItem, FromRow fromRow) const;
  void requestCounters(const QString& account, int totype);
  // Rows whose text is made in the interface language read as a rebuild in the
  // current one would show them.
  void retranslateRows();

  std::unique_ptr<ImSessionListManagerPrivate> d;
};

#endif
