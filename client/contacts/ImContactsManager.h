#ifndef TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMCONTACTSMANAGER_H

#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "contacts/ImSearchUserManager.h"
#include "contacts/ImUserEntity.h"
#include "shell/ImBaseListModel.h"
#include "shell/UIMessage.h"

class ImContactsManagerPrivate;

// The friends of the account ("contactsManager") from the local contact table,
// and every friend-related request: black list, remarks, account search, the own
// profile, the check of who can still join a group, and the batch invitation.
class ImContactsManager : public ImBaseListModel {
  Q_OBJECT
  // The users the account search found (the add-friend dialog's list).
  Q_PROPERTY(ImSearchUserManager* accountSearchUserManager READ accountSearchUserManager CONSTANT)

 public:
  // Result of a request whose reply did not carry "code" 1.
  static constexpr int kFailure = -999;
  static constexpr int kCheckPageSize = 100;

  static ImContactsManager* instance();

  Q_INVOKABLE void initData();
  Q_INVOKABLE void wipeData();
  // The listed contact with this account, or null.
  Q_INVOKABLE ImUserEntity* getUserEntity(const QString& account);
  Q_INVOKABLE void updateUserInfo(const QString& name, const QString& summary, const QString& logo,
                                  const QString& bigLog);
  Q_INVOKABLE void updateSelected(const QString& account, bool selected);
  Q_INVOKABLE void setAllSelected(bool selected);
  Q_INVOKABLE QStringList selectedAccounts();
  Q_INVOKABLE void setAllIsSync(bool isSync);
  Q_INVOKABLE QStringList isSyncAccounts();
  Q_INVOKABLE void saveIsSyncAccounts();
  Q_INVOKABLE void updateIsSync(const QString& account, bool isSync);
  Q_INVOKABLE void checkMoreMembers(const QString& groupid);
  Q_INVOKABLE void resetAllAddState(bool state);
  Q_INVOKABLE QString getName(const QString& account);
  Q_INVOKABLE QString getLogo(const QString& account);
  Q_INVOKABLE int getUserid(const QString& account);
  Q_INVOKABLE QString getSummary(const QString& account);
  Q_INVOKABLE int getChampflag(const QString& account);
  Q_INVOKABLE void updateAdded(const QString& account, bool added);
  Q_INVOKABLE void batchInvite(const QString& filePath);
  Q_INVOKABLE QStringList getBlackList();
  Q_INVOKABLE QStringList getContactsBlackList();
  Q_INVOKABLE void defriend(const QString& account);
  Q_INVOKABLE void addfriend(const QString& account);
  Q_INVOKABLE void setRemark(const QString& account, const QString& remark);
  Q_INVOKABLE void searchAccount(const QString& key);
  // Whether the account or group id is an entry of the engine's black list.
  Q_INVOKABLE bool inBlackList(const QString& account);

  void parseData(const QList<QObject*>& items);
  void updateAddState(const QJsonArray& users);
  // The numbers read from a vCard file; an empty list is an invitation of no one.
  void doBatchInvite(const QStringList& mobiles);
  // The chosen vCard file could not be read.
  void failBatchInvite();

  // The accounts that checkMoreMembers pages through: the rows, in row order.
  QStringList checkAccounts() const;
  ImSearchUserManager* accountSearchUserManager() const;

 signals:
  void broadcastIconChange(QString userid, QString iconPath);
  void updateUserInfoSuccess();
  void updateUserInfoFailure();
  void checkMoreMembersResult(int result);
  void batchInviteComplete(int result);
  void defriendResult(int result);
  void setRemarkResult(int result);
  void searchAccountResult(int result);

 public slots:
  void onNotify(const UIMessage* pMsg);

 private:
  ImContactsManager();
  explicit ImContactsManager(QList<QObject*>* items);
  ~ImContactsManager() override;

  // The own row takes the engine's own profile where it has one.
  static void ownProfile(QVariantMap* map);
  // A listed friend takes the values of its table row; the picker marks stay.
  static void refresh(ImUserEntity* user, const QVariantMap& map);
  void onHttpReply(const UIMessage* pMsg);
  void onUserInfoReply(const UIMessage* pMsg);

  QList<QObject*>* m_items;
  ImContactsManagerPrivate* d;
};

#endif
