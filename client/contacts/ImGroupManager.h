#ifndef TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H
#define TESMO_CLIENT_CONTACTS_IMGROUPMANAGER_H

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "contacts/ImGroupEntity.h"
#include "contacts/ImSearchUserManager.h"
#include "shell/ImBaseListModel.h"
#include "shell/UIMessage.h"

class ImGroupManagerPrivate;
struct ImGroupChange;

// The groups of the account ("groupManager"), loaded from the local group table;
// the properties of the current group; the group commands and their replies.
class ImGroupManager : public ImBaseListModel {
  Q_OBJECT
  Q_PROPERTY(QString groupname READ groupname WRITE setGroupname NOTIFY groupnameChanged)
  Q_PROPERTY(QString info READ info WRITE setInfo NOTIFY infoChanged)
  Q_PROPERTY(QString groupIcon READ groupIcon WRITE setGroupIcon NOTIFY groupIconChanged)
  Q_PROPERTY(int memberCount READ memberCount WRITE setMemberCount NOTIFY memberCountChanged)
  Q_PROPERTY(QString nick READ nick WRITE setNick NOTIFY nickChanged)
  Q_PROPERTY(QString owner READ owner WRITE setOwner NOTIFY ownerChanged)
  Q_PROPERTY(QString code READ code WRITE setCode NOTIFY codeChanged)
  Q_PROPERTY(int countdown READ countdown WRITE setCountdown NOTIFY countdownChanged)
  Q_PROPERTY(QString parentName READ parentName WRITE setParentName NOTIFY parentNameChanged)
  Q_PROPERTY(int childSize READ childSize WRITE setChildSize NOTIFY childSizeChanged)
  // The members the group pickers found (searchPickerMembers).
  Q_PROPERTY(ImSearchUserManager* pickerSearchUserManager READ pickerSearchUserManager CONSTANT)

 public:
  // Result of a command that was not sent.
  static constexpr int kNotSent = 9999;
  // Result of a command that the group server refused (its "code" is not 1).
  static constexpr int kRefused = -999;

  static ImGroupManager* instance();

  // The list (local group table).
  Q_INVOKABLE void initData();
  Q_INVOKABLE void wipeData();
  Q_INVOKABLE void removeData(const QString& groupid);
  // The loaded group with this id (a left group too), or null.
  Q_INVOKABLE ImGroupEntity* getGroupEntity(const QString& groupid);
  Q_INVOKABLE int getRole(const QString& groupid);
  Q_INVOKABLE bool checkMute(const QString& groupid);
  // Whether notifications of the group are muted.
  Q_INVOKABLE bool isGroupMute(const QString& groupid);
  Q_INVOKABLE bool isBanall(const QString& groupid);
  Q_INVOKABLE bool isBanuser(const QString& groupid);
  Q_INVOKABLE bool isBanUrls(const QString& groupid);
  Q_INVOKABLE bool isBanPics(const QString& groupid);
  Q_INVOKABLE bool isBanChat(const QString& groupid);
  Q_INVOKABLE bool isBanscreenshot(const QString& groupid);
  Q_INVOKABLE int joinGroupType(const QString& groupid);
  Q_INVOKABLE QString getGroupname(const QString& groupid);
  Q_INVOKABLE QString getGrouplogo(const QString& groupid);
  Q_INVOKABLE int getUsercount(const QString& groupid);
  Q_INVOKABLE void setAllSelected(bool selected);
  Q_INVOKABLE void setAllIsSync(bool isSync);
  Q_INVOKABLE QStringList selectedAccounts();
  Q_INVOKABLE QStringList isSyncAccounts();
  Q_INVOKABLE void updateIsSync(const QString& groupid, bool isSync);
  Q_INVOKABLE void saveIsSyncAccounts();
  void parseData(const QList<QObject*>& items);

  // The group commands.
  Q_INVOKABLE void createGroup(const QString& parentid, const QString& groupname,
                               const QString& type, const QStringList& userList);
  Q_INVOKABLE void setGroupPassword(const QString& groupid, const QString& password);
  Q_INVOKABLE void getGroupByPassword(const QString& password, const QString& reason = QString());
  Q_INVOKABLE void leaveGroup(const QString& groupid);
  Q_INVOKABLE void deleteGroupMember(const QString& groupid, const QStringList& userList);
  Q_INVOKABLE void addGroupMembers(const QString& groupid, const QStringList& userList);
  // The changes of a group's settings return their dialog id (0 when not sent),
  // which changeAnswered names again with the answer.
  Q_INVOKABLE int banuser(const QString& groupid, const QString& isAll, const QString& url,
                          const QString& pic, const QStringList& ban = QStringList(),
                          const QStringList& allow = QStringList());
  Q_INVOKABLE int banChat(const QString& groupid, const QString& chat);
  Q_INVOKABLE int banScreenshot(const QString& groupid, const QString& screenshot);
  Q_INVOKABLE void getGroupInfo(const QString& groupid);
  Q_INVOKABLE void getGroupVersion(const QString& groupid);
  Q_INVOKABLE void loadMoreMembers(const QString& groupid, int fromid);
  Q_INVOKABLE void searchMembers(const QString& groupid, const QString& nick, int fromid);
  // The same search for the group pickers: its own list and its own result signal,
  // so that it and the @-mention search never answer each other.
  Q_INVOKABLE void searchPickerMembers(const QString& groupid, const QString& nick, int fromid);
  Q_INVOKABLE int setGroupInfo(const QString& groupid, const QString& groupname = QString(),
                               const QString& logopath = QString(), const QString& info = QString(),
                               int type = -1, const QString& coinname = QString(),
                               double coincost = 0, int maxmember = -1);
  Q_INVOKABLE void setGrantInfo(const QString& groupid, const QStringList& owner = QStringList(),
                                const QStringList& admin = QStringList(),
                                const QStringList& member = QStringList());
  Q_INVOKABLE void joinGroup(const QString& groupid, const QString& nick);
  Q_INVOKABLE void getChildGroups(const QString& groupid, int fromid);
  Q_INVOKABLE void releaseGroup(const QString& groupid, const QString& parentid,
                                const QStringList& childList);
  Q_INVOKABLE void destroyGroup(const QString& groupid);
  Q_INVOKABLE int muteNotifications(const QString& groupid, bool isMute);

  // The current group.
  QString groupname() const;
  QString setGroupname(const QString& groupname);
  QString info() const;
  QString setInfo(const QString& info);
  QString groupIcon() const;
  QString setGroupIcon(const QString& groupIcon);
  int memberCount() const;
  int setMemberCount(int memberCount);
  QString nick() const;
  QString setNick(const QString& nick);
  QString owner() const;
  QString setOwner(const QString& owner);
  QString code() const;
  QString setCode(const QString& code);
  int countdown() const;
  int setCountdown(int countdown);
  QString parentName() const;
  QString setParentName(const QString& parentName);
  int childSize() const;
  int setChildSize(int childSize);
  ImSearchUserManager* pickerSearchUserManager() const;

 signals:
  void createGroupResult(int result, QString groupid, QString groupname, QString parentid);
  void setGroupPasswordResult(int result);
  void getGroupByPasswordResult(int result, QString groupid);
  void leaveGroupResult(int result);
  void delGroupMemResult(int result);
  void addGroupMemResult(int result);
  void banuserResult(int result);
  void getGroupInfoResult(int result);
  void getGroupVersionResult(int result);
  void loadMoreMembersResult(int result, int fromid);
  void getChildGroupsResult(int result, int fromid);
  void searchMembersResult(int result, int fromid);
  void groupnameChanged();
  void infoChanged();
  void memberCountChanged();
  void groupIconChanged();
  void banallChanged(int result, QString groupId, QString changerId, QString changerNick);
  void banChanged(int result, QString groupId, QString changerId, QString changerNick);
  void setGroupInfoResult(int result);
  void setGrantInfoResult(int result);
  void joinGroupResult(int result);
  void nickChanged();
  void ownerChanged();
  void codeChanged();
  void countdownChanged();
  void parentNameChanged();
  void releaseResult(int result);
  void destroyResult(int result);
  void childSizeChanged();
  void muteResult(int result);
  void searchPickerMembersResult(int result, int fromid);
  // The answer to one change of a group's settings (a "set", a ban switch, a mute),
  // with the value its kind's result signal carries, emitted just before that one.
  void changeAnswered(int did, int result);
  // Someone's role in the group changed (owner, manager or member).
  void rolesChanged(QString groupid);

 public slots:
  void onNotify(const UIMessage* pMsg);

 private:
  ImGroupManager();
  explicit ImGroupManager(QList<QObject*>* items);
  ~ImGroupManager() override;

  // Group commands: a fresh dialog id in `did`, then the command with the
  // envelope keys and `keys` (without "language" when `withLanguage` is false).
  void sendCommand(int& did, const QString& cmd, const QVariantMap& keys, bool withLanguage = true);
  // A "banuser" for the group, kept among the outstanding changes.
  int sendBan(const QString& groupid, const QVariantMap& keys);
  // Handles the answer to an outstanding change; false when `did` names none.
  bool onChangeReply(int did, int status, const QJsonObject& reply);
  void applySetReply(const ImGroupChange& change, bool accepted, const QJsonObject& result);
  void onGroupNotify(const UIMessage* pMsg);
  void onCommandReply(const UIMessage* pMsg);
  void applyGroupInfo(const QJsonObject& result);
  void applySearch(ImSearchUserManager* list, bool accepted, int outcome, const QJsonObject& result,
                   bool picker);
  // Renames and re-icons the group's conversation row, the current group (when
  // `current`) and the loaded entity.
  void applyName(const QString& groupid, const QString& name, bool current);
  void applyLogo(const QString& groupid, const QString& logo, bool current);

  QList<QObject*>* m_items;
  ImGroupManagerPrivate* d;
};

#endif
