// The group commands of ImGroupManager: each checks its arguments, then sends one
// command whose reply (matched by the stored dialog id) arrives in onNotify.
#include <QDebug>

#include "contacts/ImGroupCommand.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupManagerPrivate.h"
#include "contacts/ImSearchUserManager.h"
#include "shell/ImUiInterface.h"

namespace {
constexpr int kJoinCodeLength = 4;
constexpr int kSearchPageSize = 20;
constexpr int kChildPageSize = 50;
const char kSetBlackPath[] = "/userinfo/user/setblack.do";

QString Key(const char* key) { return QString::fromLatin1(key); }
}  // namespace

void ImGroupManager::sendCommand(int& did, const QString& cmd, const QVariantMap& keys,
                                 bool withLanguage) {
  did = ImGroupCommand::send(cmd, keys, withLanguage);
}

void ImGroupManager::createGroup(const QString& parentid, const QString& groupname,
                                 const QString& type, const QStringList& userList) {
  qDebug() << Q_FUNC_INFO << parentid << groupname << type << userList;
  sendCommand(d->m_nCreateGroupDid, Key("create"),
              {{Key("groupname"), groupname},
               {Key("type"), type},
               {Key("nick"), QString::fromUtf8(ImUiInterface::instance()->GetMyName())},
               {Key("parentid"), parentid},
               {Key("user"), ImGroupCommand::accounts(userList)}});
}

void ImGroupManager::setGroupPassword(const QString& groupid, const QString& password) {
  qDebug() << Q_FUNC_INFO << groupid << password;
  if (groupid.isEmpty() || password.size() != kJoinCodeLength) {
    emit setGroupPasswordResult(kNotSent);
    return;
  }
  sendCommand(d->m_nSetGroupPasswordDid, Key("setcode"),
              {{Key("groupid"), groupid}, {Key("code"), password}});
}

void ImGroupManager::getGroupByPassword(const QString& password, const QString& reason) {
  qDebug() << Q_FUNC_INFO << password << reason;
  if (password.size() != kJoinCodeLength) {
    emit getGroupByPasswordResult(kNotSent, QString());
    return;
  }
  QVariantMap keys{{Key("code"), password}};
  if (!reason.isEmpty()) keys.insert(Key("reason"), reason);
  sendCommand(d->m_nGetGroupByPasswordDid, Key("getbycode"), keys);
}

void ImGroupManager::leaveGroup(const QString& groupid) {
  qDebug() << Q_FUNC_INFO << groupid;
  sendCommand(d->m_nLeaveGroupDid, Key("leave"), {{Key("groupid"), groupid}});
}

void ImGroupManager::deleteGroupMember(const QString& groupid, const QStringList& userList) {
  qDebug() << Q_FUNC_INFO << groupid << userList;
  const QVariantList users = ImGroupCommand::accounts(userList);
  if (groupid.isEmpty() || users.isEmpty()) {
    emit delGroupMemResult(kNotSent);
    return;
  }
  sendCommand(d->m_nDeleteGroupMemberDid, Key("remove"),
              {{Key("groupid"), groupid}, {Key("reason"), QString()}, {Key("user"), users}});
}

void ImGroupManager::addGroupMembers(const QString& groupid, const QStringList& userList) {
  qDebug() << Q_FUNC_INFO << groupid << userList;
  const QVariantList users = ImGroupCommand::accounts(userList);
  if (groupid.isEmpty() || users.isEmpty()) {
    emit addGroupMemResult(kNotSent);
    return;
  }
  sendCommand(d->m_nAddGroupMembersDid, Key("adduser"),
              {{Key("groupid"), groupid}, {Key("user"), users}});
}

int ImGroupManager::sendBan(const QString& groupid, const QVariantMap& keys) {
  sendCommand(d->m_nBanuserDid, Key("banuser"), keys);
  ImGroupChange change;
  change.kind = ImGroupChange::Ban;
  change.groupid = groupid;
  d->m_changes.insert(d->m_nBanuserDid, change);
  return d->m_nBanuserDid;
}

int ImGroupManager::banuser(const QString& groupid, const QString& isAll, const QString& url,
                            const QString& pic, const QStringList& ban, const QStringList& allow) {
  qDebug() << Q_FUNC_INFO << groupid << isAll << url << pic << ban << allow;
  if (groupid.isEmpty()) {
    emit banuserResult(kNotSent);
    return 0;
  }
  QVariantMap keys{{Key("groupid"), groupid},
                   {Key("ban"), ImGroupCommand::accounts(ban)},
                   {Key("allow"), ImGroupCommand::accounts(allow)}};
  // One switch per command: the first one given.
  if (!isAll.isEmpty())
    keys.insert(Key("all"), isAll.toInt());
  else if (!url.isEmpty())
    keys.insert(Key("url"), url.toInt());
  else if (!pic.isEmpty())
    keys.insert(Key("pic"), pic.toInt());
  return sendBan(groupid, keys);
}

int ImGroupManager::banChat(const QString& groupid, const QString& chat) {
  qDebug() << Q_FUNC_INFO << groupid << chat;
  if (groupid.isEmpty()) {
    emit banuserResult(kNotSent);
    return 0;
  }
  QVariantMap keys{{Key("groupid"), groupid}};
  if (!chat.isEmpty()) keys.insert(Key("chat"), chat.toInt());
  return sendBan(groupid, keys);
}

int ImGroupManager::banScreenshot(const QString& groupid, const QString& screenshot) {
  qDebug() << Q_FUNC_INFO << groupid << screenshot;
  if (groupid.isEmpty()) {
    emit banuserResult(kNotSent);
    return 0;
  }
  QVariantMap keys{{Key("groupid"), groupid}};
  if (!screenshot.isEmpty()) keys.insert(Key("screenshot"), screenshot.toInt());
  return sendBan(groupid, keys);
}

void ImGroupManager::getGroupInfo(const QString& groupid) {
  qDebug() << Q_FUNC_INFO << groupid;
  sendCommand(d->m_nGetGroupInfoDid, Key("getinfo"), {{Key("groupid"), groupid}});
}

void ImGroupManager::getGroupVersion(const QString& groupid) {
  qDebug() << Q_FUNC_INFO << groupid;
  sendCommand(d->m_nGetGroupVersionDid, Key("getversion"), {{Key("groupid"), groupid}});
}

void ImGroupManager::loadMoreMembers(const QString& groupid, int fromid) {
  qDebug() << Q_FUNC_INFO << groupid << fromid;
  sendCommand(d->m_nLoadMoreMembersDid, Key("getuser"),
              {{Key("groupid"), groupid}, {Key("fromid"), fromid}});
}

void ImGroupManager::searchMembers(const QString& groupid, const QString& nick, int fromid) {
  // The list shows the page of the latest reply only.
  ImSearchUserManager::instance()->wipeData();
  qDebug() << Q_FUNC_INFO << groupid << nick << fromid;
  sendCommand(d->m_nSearchMembersDid, Key("search"),
              {{Key("groupid"), groupid},
               {Key("fromid"), fromid},
               {Key("nick"), nick},
               {Key("num"), kSearchPageSize}},
              false);
}

void ImGroupManager::searchPickerMembers(const QString& groupid, const QString& nick, int fromid) {
  ImSearchUserManager::pickerInstance()->wipeData();
  qDebug() << Q_FUNC_INFO << groupid << nick << fromid;
  sendCommand(d->m_nSearchPickerMembersDid, Key("search"),
              {{Key("groupid"), groupid},
               {Key("fromid"), fromid},
               {Key("nick"), nick},
               {Key("num"), kSearchPageSize}},
              false);
}

int ImGroupManager::setGroupInfo(const QString& groupid, const QString& groupname,
                                 const QString& logopath, const QString& info, int type,
                                 const QString& coinname, double coincost, int maxmember) {
  qDebug() << Q_FUNC_INFO << groupid << groupname << logopath << info << type << coinname
           << coincost << maxmember;
  QVariantMap keys{{Key("groupid"), groupid}, {Key("coincost"), coincost}};
  if (!groupname.isEmpty()) keys.insert(Key("groupname"), groupname);
  if (!logopath.isEmpty())
    keys.insert(Key("logopath"), ImUiInterface::instance()->removeFilePrefix(logopath));
  if (!coinname.isEmpty()) keys.insert(Key("coinname"), coinname);
  if (maxmember >= 0) keys.insert(Key("maxmember"), maxmember);
  if (type >= 0) keys.insert(Key("type"), type);
  // The engine and the group server store "info" whenever it is there, an empty one
  // too: it goes only with a change of the introduction, which is a "set" that
  // changes nothing else or one that gives a text. QML cannot tell an empty text
  // from none.
  const bool changesIntroduction = !info.isEmpty() || keys.size() == 2;
  ImGroupChange change;
  change.kind = ImGroupChange::Set;
  change.groupid = groupid;
  change.name = groupname;
  change.info = changesIntroduction ? (info.isNull() ? QLatin1String("") : info) : QString();
  if (changesIntroduction) keys.insert(Key("info"), change.info);
  sendCommand(d->m_nSetGroupInfoDid, Key("set"), keys);
  d->m_changes.insert(d->m_nSetGroupInfoDid, change);
  return d->m_nSetGroupInfoDid;
}

void ImGroupManager::setGrantInfo(const QString& groupid, const QStringList& owner,
                                  const QStringList& admin, const QStringList& member) {
  qDebug() << Q_FUNC_INFO << groupid << owner << admin << member;
  const QVariantList owners = ImGroupCommand::accounts(owner);
  // A hand-over needs someone to hand the group to.
  if (groupid.isEmpty() || (!owner.isEmpty() && owners.isEmpty())) {
    emit setGrantInfoResult(kNotSent);
    return;
  }
  QVariantMap keys{{Key("groupid"), groupid}};
  if (!owner.isEmpty()) keys.insert(Key("owner"), owners);
  if (!admin.isEmpty()) keys.insert(Key("admin"), ImGroupCommand::accounts(admin));
  if (!member.isEmpty()) keys.insert(Key("member"), ImGroupCommand::accounts(member));
  sendCommand(d->m_nSetGrantInfoDid, Key("grantuser"), keys);
}

void ImGroupManager::joinGroup(const QString& groupid, const QString& nick) {
  qDebug() << Q_FUNC_INFO << groupid << nick;
  sendCommand(d->m_nJoinGroupDid, Key("join"), {{Key("groupid"), groupid}, {Key("nick"), nick}});
}

void ImGroupManager::getChildGroups(const QString& groupid, int fromid) {
  qDebug() << Q_FUNC_INFO << groupid << fromid;
  sendCommand(d->m_nGetChildGroupsDid, Key("getchild"),
              {{Key("groupid"), groupid}, {Key("fromid"), fromid}, {Key("num"), kChildPageSize}});
}

void ImGroupManager::releaseGroup(const QString& groupid, const QString& parentid,
                                  const QStringList& childList) {
  qDebug() << Q_FUNC_INFO << groupid << parentid << childList;
  sendCommand(d->m_nReleaseGroupDid, Key("release"),
              {{Key("groupid"), groupid},
               {Key("parentid"), parentid},
               {Key("childid"), childList.join(QLatin1Char(','))}});
}

void ImGroupManager::destroyGroup(const QString& groupid) {
  qDebug() << Q_FUNC_INFO << groupid;
  sendCommand(d->m_nDestroyGroupDid, Key("destroy"), {{Key("groupid"), groupid}});
}

int ImGroupManager::muteNotifications(const QString& groupid, bool isMute) {
  qDebug() << Q_FUNC_INFO << groupid << isMute;
  d->m_nMuteNotificationsDid =
      ImGroupCommand::post(Key(kSetBlackPath), {{Key(isMute ? "adduser" : "deluser"), groupid}});
  ImGroupChange change;
  change.kind = ImGroupChange::Mute;
  change.groupid = groupid;
  d->m_changes.insert(d->m_nMuteNotificationsDid, change);
  return d->m_nMuteNotificationsDid;
}
