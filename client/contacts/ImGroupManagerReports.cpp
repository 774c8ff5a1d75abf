// Engine reports for ImGroupManager: group notifications (100009), group command
// replies (200301) and the reply to a mute request.
#include <QDebug>
#include <QJsonArray>
#include <QJsonObject>

#include "contacts/ImConversationLink.h"
#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupChildManager.h"
#include "contacts/ImGroupCommand.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupManagerPrivate.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImSearchUserManager.h"
#include "shell/ImUiInterface.h"

namespace {
constexpr int kServerSuccess = 1;

bool Has(const QJsonObject& object, const char* key) {
  return !object.value(QLatin1String(key)).isNull() &&
         !object.value(QLatin1String(key)).isUndefined();
}
QString Text(const QJsonObject& object, const char* key) {
  return object.value(QLatin1String(key)).toVariant().toString();
}
int Number(const QJsonObject& object, const char* key) {
  return object.value(QLatin1String(key)).toVariant().toInt();
}
QJsonObject Object(const QVariantMap& map) { return QJsonObject::fromVariantMap(map); }

// A reply the engine delivered (status 0) whose server "code" or result word says
// no. A reply without either is judged by the status alone.
bool Refused(int status, const QJsonObject& reply) {
  return status == 0 && ((Has(reply, "code") && Number(reply, "code") != kServerSuccess) ||
                         ImGroupCommand::refusedByWord(reply));
}
// The value a status-based result signal carries.
int Outcome(int status, const QJsonObject& reply) {
  return Refused(status, reply) ? ImGroupManager::kRefused : status;
}
// The value a code-based result signal carries: the server's "code" (1 is done).
int ServerCode(int status, const QJsonObject& reply) {
  if (status != 0) return ImGroupManager::kNotSent;
  return ImGroupCommand::refusedByWord(reply) ? ImGroupManager::kRefused : Number(reply, "code");
}
// Whether the stored dialog id of a kind names this reply (0: none outstanding).
bool Answers(int stored, int dialogId) { return stored != 0 && stored == dialogId; }

// The result of joining by code. A refusal comes as a "code" other than 1 or as an
// error word in the result; the words of the join codes have their own numbers.
// An answer without the group joined is no success either.
int JoinByCodeResult(const QJsonObject& reply, const QJsonObject& result) {
  static const struct {
    const char* word;
    int code;
  } kWords[] = {{"GROUP_ERR_EXPIRED", -13},
                {"GROUP_ERR_CODE", -14},
                {"GROUP_ERR_INVITEONLY", -19},
                {"GROUP_ERR_DENY", -20}};
  if (Has(reply, "code") && Number(reply, "code") != kServerSuccess) return Number(reply, "code");
  if (ImGroupCommand::refusedByWord(reply)) {
    const QString word = Text(result, "cmd");
    for (const auto& known : kWords)
      if (word == QLatin1String(known.word)) return known.code;
    return ImGroupManager::kRefused;
  }
  if (Text(result, "groupid").isEmpty()) return ImGroupManager::kRefused;
  return kServerSuccess;
}
}  // namespace

void ImGroupManager::onNotify(const UIMessage* pMsg) {
  if (!pMsg) return;
  switch (pMsg->m_Method) {
    case _EVENT_COME_GROUPNOTIFY:
      onGroupNotify(pMsg);
      break;
    case _REQUEST_HTTP_GROUPCOMMAND:
      onCommandReply(pMsg);
      break;
    case _REQUEST_HTTP_SENDGET:
    case _REQUEST_HTTP_SENDPOST: {
      const auto found = d->m_changes.constFind(pMsg->m_DialogID);
      if (pMsg->m_DialogID == 0 || found == d->m_changes.constEnd() ||
          found->kind != ImGroupChange::Mute)
        break;
      d->m_changes.erase(found);
      const QVariantMap reply = ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1);
      // A request that failed without a JSON answer is a refusal too: the switch
      // waiting for it goes back.
      const int code = reply.isEmpty() ? kRefused : reply.value(QStringLiteral("code")).toInt();
      emit changeAnswered(pMsg->m_DialogID, code);
      emit muteResult(code);
      break;
    }
    default:
      break;
  }
}

void ImGroupManager::applyName(const QString& groupid, const QString& name, bool current) {
  ImConversationLink::current()->setSessionName(groupid, name);
  if (current) setGroupname(name);
  if (ImGroupEntity* group = getGroupEntity(groupid)) group->setGroupname(name);
}

void ImGroupManager::applyLogo(const QString& groupid, const QString& logo, bool current) {
  ImConversationLink::current()->setSessionIcon(groupid, logo);
  if (current) setGroupIcon(logo);
  if (ImGroupEntity* group = getGroupEntity(groupid)) group->setGrouplogo(logo);
}

void ImGroupManager::onGroupNotify(const UIMessage* pMsg) {
  if (pMsg->m_Status != 0) return;
  const QJsonObject notice = Object(ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1));
  const QString kind = Text(notice, "notify");
  const QString groupid = Text(notice, "groupid");
  ImGroupEntity* group = getGroupEntity(groupid);
  qDebug() << Q_FUNC_INFO << kind << groupid;
  if (kind == QLatin1String("status")) {
    initData();
  } else if (kind == QLatin1String("groupchange")) {
    wipeData();
    initData();
  } else if (kind == QLatin1String("groupban")) {
    if (!group) return;
    if (Has(notice, "banall")) {
      group->setBanall(Number(notice, "banall"));
      emit banallChanged(Number(notice, "banall"), groupid, Text(notice, "userid"),
                         Text(notice, "nick"));
    }
    if (Has(notice, "banurl")) group->setBanUrl(Number(notice, "banurl"));
    if (Has(notice, "banpic")) group->setBanPic(Number(notice, "banpic"));
    if (Has(notice, "banchat")) group->setBanChat(Number(notice, "banchat"));
    if (Has(notice, "banscreenshot")) group->setBanscreenshot(Number(notice, "banscreenshot"));
  } else if (kind == QLatin1String("changeowner") || kind == QLatin1String("changeadmin") ||
             kind == QLatin1String("changemember")) {
    if (!groupid.isEmpty()) emit rolesChanged(groupid);
  } else if (kind == QLatin1String("ban") || kind == QLatin1String("allow")) {
    const int banned = kind == QLatin1String("ban") ? 1 : 0;
    if (group) group->setBanuser(banned);
    emit banChanged(banned, groupid, Text(notice, "userid"), Text(notice, "nick"));
  } else if (kind == QLatin1String("addeduser") || kind == QLatin1String("join") ||
             kind == QLatin1String("removeuser") || kind == QLatin1String("create") ||
             kind == QLatin1String("leave") || kind == QLatin1String("invite") ||
             kind == QLatin1String("remove")) {
    if (!Has(notice, "groupid")) return;
    const bool current = ImConversationLink::current()->currentSessionId() == groupid;
    if (current && Has(notice, "membercount")) {
      setMemberCount(Number(notice, "membercount"));
      if (group) group->setUsercount(Number(notice, "membercount"));
    }
    if (Has(notice, "logo")) applyLogo(groupid, Text(notice, "logo"), current);
    if (Has(notice, "groupname")) applyName(groupid, Text(notice, "groupname"), current);
  }
}

void ImGroupManager::onCommandReply(const UIMessage* pMsg) {
  const int did = pMsg->m_DialogID;
  const int status = pMsg->m_Status;
  const QJsonObject reply = Object(ImUiInterface::instance()->convJsonToVariantMap(pMsg->m_Arg1));
  const QJsonObject result = reply.value(QLatin1String("result")).toObject();
  const bool accepted = status == 0 && !Refused(status, reply);
  const int outcome = Outcome(status, reply);
  qDebug() << Q_FUNC_INFO << did << status << outcome;

  if (onChangeReply(did, status, reply)) return;
  if (Answers(d->m_nCreateGroupDid, did)) {
    const QString groupid = Text(result, "groupid");
    // A chat is opened with the new group: without its id there is none.
    if (!accepted || groupid.isEmpty()) {
      emit createGroupResult(accepted ? kRefused : outcome, QString(), QString(), QString());
    } else {
      // The new group's chat opens next: its name and member count come from the
      // group server, not from the creation (which stores one member).
      getGroupInfo(groupid);
      emit createGroupResult(0, groupid, Text(result, "groupname"), Text(result, "parentid"));
    }
  } else if (Answers(d->m_nSetGroupPasswordDid, did)) {
    emit setGroupPasswordResult(outcome);
  } else if (Answers(d->m_nGetGroupByPasswordDid, did)) {
    if (status != 0) {
      emit getGroupByPasswordResult(kNotSent, QString());
    } else {
      const int code = JoinByCodeResult(reply, result);
      emit getGroupByPasswordResult(code,
                                    code == kServerSuccess ? Text(result, "groupid") : QString());
    }
  } else if (Answers(d->m_nLeaveGroupDid, did)) {
    emit leaveGroupResult(outcome);
  } else if (Answers(d->m_nDeleteGroupMemberDid, did)) {
    emit delGroupMemResult(outcome);
  } else if (Answers(d->m_nAddGroupMembersDid, did)) {
    emit addGroupMemResult(outcome);
  } else if (Answers(d->m_nGetGroupInfoDid, did)) {
    if (accepted) applyGroupInfo(result);
    emit getGroupInfoResult(outcome);
  } else if (Answers(d->m_nGetGroupVersionDid, did)) {
    emit getGroupVersionResult(outcome);
  } else if (Answers(d->m_nLoadMoreMembersDid, did)) {
    if (!accepted) {
      emit loadMoreMembersResult(outcome, -1);
      return;
    }
    if (Has(result, "member"))
      ImGroupMemberManager::instance()->addData(result.value(QLatin1String("member")).toArray());
    emit loadMoreMembersResult(0, Number(result, "endid"));
  } else if (Answers(d->m_nSearchMembersDid, did)) {
    applySearch(ImSearchUserManager::instance(), accepted, outcome, result, false);
  } else if (Answers(d->m_nSearchPickerMembersDid, did)) {
    applySearch(ImSearchUserManager::pickerInstance(), accepted, outcome, result, true);
  } else if (Answers(d->m_nSetGrantInfoDid, did)) {
    emit setGrantInfoResult(outcome);
  } else if (Answers(d->m_nJoinGroupDid, did)) {
    if (accepted && Has(result, "nick")) setNick(Text(result, "nick"));
    emit joinGroupResult(outcome);
  } else if (Answers(d->m_nGetChildGroupsDid, did)) {
    if (!accepted) {
      emit getChildGroupsResult(outcome, -1);
      return;
    }
    if (Has(result, "child"))
      ImGroupChildManager::instance()->addData(result.value(QLatin1String("child")).toArray());
    emit getChildGroupsResult(0, Number(result, "endid"));
  } else if (Answers(d->m_nReleaseGroupDid, did)) {
    emit releaseResult(ServerCode(status, reply));
  } else if (Answers(d->m_nDestroyGroupDid, did)) {
    emit destroyResult(ServerCode(status, reply));
  }
}

bool ImGroupManager::onChangeReply(int did, int status, const QJsonObject& reply) {
  const auto found = d->m_changes.constFind(did);
  if (did == 0 || found == d->m_changes.constEnd() || found->kind == ImGroupChange::Mute)
    return false;
  const ImGroupChange change = *found;
  d->m_changes.erase(found);
  const bool accepted = status == 0 && !Refused(status, reply);
  const int outcome = Outcome(status, reply);
  emit changeAnswered(did, outcome);
  if (change.kind == ImGroupChange::Ban) {
    emit banuserResult(outcome);
    return true;
  }
  emit setGroupInfoResult(outcome);
  if (accepted) {
    emit groupIconChanged();
    emit groupnameChanged();
    emit infoChanged();
  }
  // A refused change must not show as made.
  if (!Refused(status, reply))
    applySetReply(change, accepted, reply.value(QLatin1String("result")).toObject());
  return true;
}

// What a "set" changed goes to the group it was sent for; the current-group
// properties only while that group is the open one, since another may have been
// opened before the answer came.
void ImGroupManager::applySetReply(const ImGroupChange& change, bool accepted,
                                   const QJsonObject& result) {
  const QString groupid = change.groupid.isEmpty() ? Text(result, "groupid") : change.groupid;
  const bool current = ImConversationLink::current()->currentSessionId() == groupid;
  // The introduction this change stored, kept for the next comparison.
  if (accepted && current && !change.info.isNull()) setInfo(change.info);
  if (Has(result, "groupname"))
    applyName(groupid, Text(result, "groupname"), current);
  else if (accepted && !change.name.isEmpty())
    applyName(groupid, change.name, current);
  if (Has(result, "logo")) applyLogo(groupid, Text(result, "logo"), current);
  ImGroupEntity* group = getGroupEntity(groupid);
  if (Has(result, "type") && group) group->setType(Text(result, "type").toInt());
}

void ImGroupManager::applySearch(ImSearchUserManager* list, bool accepted, int outcome,
                                 const QJsonObject& result, bool picker) {
  const int fromid = accepted ? Number(result, "endid") : -1;
  if (accepted && Has(result, "user")) list->addData(result.value(QLatin1String("user")).toArray());
  const int value = accepted ? 0 : outcome;
  if (picker)
    emit searchPickerMembersResult(value, fromid);
  else
    emit searchMembersResult(value, fromid);
}

void ImGroupManager::applyGroupInfo(const QJsonObject& result) {
  const QString groupid = Text(result, "groupid");
  // Every information reply starts a fresh child-group request.
  getChildGroups(groupid, 0);

  QJsonArray managers = result.value(QLatin1String("admin")).toArray();
  const QJsonArray owners = result.value(QLatin1String("owner")).toArray();
  if (!owners.isEmpty()) {
    managers.prepend(owners.first());
    setOwner(Text(owners.first().toObject(), "account"));
  } else {
    // An owner kept from the previous group would grant its tools here.
    setOwner(QString());
  }
  ImGroupAdminManager* admins = ImGroupAdminManager::instance();
  admins->wipeData();
  admins->initData(managers);

  if (Has(result, "member")) {
    ImGroupMemberManager::instance()->wipeData();
    ImGroupMemberManager::instance()->addData(result.value(QLatin1String("member")).toArray());
  }
  if (Has(result, "groupname")) applyName(groupid, Text(result, "groupname"), true);
  if (Has(result, "membercount")) setMemberCount(Number(result, "membercount"));
  if (Has(result, "logo")) applyLogo(groupid, Text(result, "logo"), true);
  // The engine leaves out what this group does not have (a nickname, a join code, a
  // main group): what the previous group had must not stay.
  setInfo(Text(result, "info"));
  setNick(Text(result, "nick"));
  setCode(Text(result, "code"));
  setCountdown(Number(result, "countdown"));
  setParentName(Text(result, "parentname"));
}
