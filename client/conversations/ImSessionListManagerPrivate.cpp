#include "conversations/ImSessionListManagerPrivate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <string>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImUserEntity.h"
#include "conversations/ImMessageQuery.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "conversations/ImSessionThread.h"
#include "shell/ImUiInterface.h"
#include "shell/VTranslator.h"

namespace {
QString UserInfo(const std::string& account, int field) {
  // A copy at once: the engine's text is recycled by later calls.
  return QString::fromUtf8(ImUiInterface::instance()->GetUserInfo(account, field));
}

// `value` is asked for only when the map's entry is empty.
template <typename Value>
void FillWhenEmpty(QVariantMap& map, const QString& key, Value value) {
  if (!map.value(key).toString().isEmpty()) return;
  const QVariant given = value();
  if (!given.toString().isEmpty()) map.insert(key, given);
}

// The object under `key` of a remark object; empty when it is none.
QJsonObject Member(const QJsonObject& object, const QString& key) {
  return object.value(key).toObject();
}
}  // namespace

const char* const ImSessionListManagerPrivate::kListQuery =
    "select a.id, a.msgid, a.msgtype, a.fromuser, a.fromgroup, a.fromver, a.device, a.touser, "
    "a.totype, a.content, a.remark, a.localpath, a.fileurl, a.sendflag, a.sendstate, "
    "a.localsend, a.seeflag, a.atflag, a.cancelflag, a.sendtime, a.deleted from nq_messagenew b "
    "cross join nq_message a where (b.msgid = a.id and a.deleted=0) order by a.sendtime desc";

ImSessionListManagerPrivate::ImSessionListManagerPrivate(QObject* threadParent)
    : thread(new ImSessionThread(threadParent)) {}

ImSessionListManagerPrivate::~ImSessionListManagerPrivate() { delete thread; }

bool ImSessionListManagerPrivate::superseded(const QString& account, int id) {
  if (id <= 0) return false;
  ImUiInterface* engine = ImUiInterface::instance();
  const long set =
      engine->DBSelectSql((QStringLiteral("select msgid from nq_messagenew where account=") +
                           ImMessageQuery::quoted(account))
                              .toUtf8()
                              .constData());
  const bool other = engine->DBGetRecordCount(set) > 0 && engine->DBGetIntValue(set, 0, 0) != id;
  engine->DBRelease(set);
  return other;
}

bool ImSessionListManagerPrivate::showsRecallOf(const QString& account, int id) {
  if (!superseded(account, id)) return true;
  ImUiInterface* engine = ImUiInterface::instance();
  const long set = engine->DBSelectSql(
      (QStringLiteral("select a.id, a.msgtype, a.content from nq_messagenew b, nq_message a "
                      "where b.account=") +
       ImMessageQuery::quoted(account) + QStringLiteral(" and a.id=b.msgid"))
          .toUtf8()
          .constData());
  bool shows = false;
  if (engine->DBGetRecordCount(set) > 0) {
    // A recall notice names the local id of the message it took back.
    shows = engine->DBGetIntValue(set, 0, 1) == 9 &&
            QString::fromUtf8(engine->DBGetStrValue(set, 0, 2)).toInt() == id;
  }
  engine->DBRelease(set);
  return shows;
}

QString ImSessionListManagerPrivate::senderName(const QString& fromuser, int sendflag,
                                                const QString& remarkNick, const QString& group) {
  ImUiInterface* engine = ImUiInterface::instance();
  if (sendflag == 1) {
    const QString own = QString::fromUtf8(engine->GetMyName());
    if (!own.isEmpty()) return own;
  }
  if (!remarkNick.isEmpty()) return remarkNick;
  if (fromuser.isEmpty()) return QString();
  const QString cached = UserInfo(fromuser.toStdString(), 0);
  if (!cached.isEmpty()) return cached;
  if (const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(fromuser)) {
    const QString name = user->name();
    if (!name.isEmpty()) return name;
  }
  const long set =
      engine->DBSelectSql((QStringLiteral("select nick from nq_groupuser where groupid=") +
                           ImMessageQuery::quoted(group) + QStringLiteral(" and account=") +
                           ImMessageQuery::quoted(fromuser))
                              .toUtf8()
                              .constData());
  const QString member =
      engine->DBGetRecordCount(set) > 0 ? QString::fromUtf8(engine->DBGetStrValue(set, 0, 0)) : "";
  engine->DBRelease(set);
  return member;
}

QString ImSessionListManagerPrivate::groupFromName(const QVariantMap& map, const QString& group) {
  QString nick = map.value(QStringLiteral("fromName")).toString();
  if (nick.endsWith(QLatin1String(": "))) nick.chop(2);
  if (nick.isEmpty()) {
    const QJsonDocument remark =
        QJsonDocument::fromJson(map.value(QStringLiteral("remark")).toString().toUtf8());
    nick = Member(remark.object(), QStringLiteral("from"))
               .value(QStringLiteral("nick"))
               .toVariant()
               .toString();
  }
  return senderName(map.value(QStringLiteral("fromuser")).toString(),
                    map.value(QStringLiteral("sendflag")).toInt(), nick, group) +
         QStringLiteral(": ");
}

int ImSessionListManagerPrivate::champFlagOf(const QString& account) {
  return UserInfo(account.toStdString(), 4).toInt();
}

void ImSessionListManagerPrivate::decorate(QVariantMap& map, const QString& account,
                                           const QString& peer) {
  const int totype = map.value(QStringLiteral("totype")).toInt();
  if (totype == 1) {
    const QString remark = map.value(QStringLiteral("remark")).toString();
    QString nick;
    if (!remark.isEmpty()) {
      // Read in place: only four values of the remark are shown.
      const QJsonDocument document = QJsonDocument::fromJson(remark.toUtf8());
      const QJsonObject json = document.isObject() ? document.object() : QJsonObject();
      const QJsonObject from = Member(json, QStringLiteral("from"));
      const QJsonObject to = Member(json, QStringLiteral("to"));
      FillWhenEmpty(map, QStringLiteral("icon"),
                    [&to] { return to.value(QStringLiteral("logo")).toVariant(); });
      FillWhenEmpty(map, QStringLiteral("name"),
                    [&to] { return to.value(QStringLiteral("nick")).toVariant(); });
      nick = from.value(QStringLiteral("nick")).toVariant().toString();
    }
    // Every group row names its sender, also without a remark (synced history).
    map.insert(QStringLiteral("fromName"),
               senderName(map.value(QStringLiteral("fromuser")).toString(),
                          map.value(QStringLiteral("sendflag")).toInt(), nick, account) +
                   QStringLiteral(": "));
  }
  if (totype == 0) {
    // The engine's contact cache knows more people than the friend list; a name
    // the caller already gave stays when the cache has none.
    const std::string person = peer.toStdString();
    const QString name = UserInfo(person, 0);
    if (!name.isEmpty()) map.insert(QStringLiteral("name"), name);
    const QString icon = UserInfo(person, 2);
    if (!icon.isEmpty()) map.insert(QStringLiteral("icon"), icon);
    map.insert(QStringLiteral("champflag"), UserInfo(person, 4).toInt());
    // The contact list only fills gaps: no look-up when the cache gave both.
    if (!name.isEmpty() && !icon.isEmpty()) return;
    const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(peer);
    if (user) {
      FillWhenEmpty(map, QStringLiteral("icon"), [user] { return QVariant(user->logo()); });
      FillWhenEmpty(map, QStringLiteral("name"), [user] { return QVariant(user->name()); });
    }
    return;
  }
  const ImGroupEntity* group = ImGroupManager::instance()->getGroupEntity(account);
  if (!group) return;
  FillWhenEmpty(map, QStringLiteral("icon"), [group] { return QVariant(group->grouplogo()); });
  FillWhenEmpty(map, QStringLiteral("name"), [group] { return QVariant(group->groupname()); });
  map.insert(QStringLiteral("title"), group->title());
  map.insert(QStringLiteral("parentName"), group->parentName());
  map.insert(QStringLiteral("groupstate"), group->groupstate());
  map.insert(QStringLiteral("isMute"), group->isMute());
}

bool ImSessionListManagerPrivate::showsNothing(int msgtype, const QString& content,
                                               const QString& fromuser, const QString& touser,
                                               int totype) {
  if (msgtype == 6) return !ImSessionManager::noticeHasLine(content);
  if (msgtype != 9) return false;
  const QString key =
      totype == 1 ? touser : ImUiInterface::instance()->getPeerAccount(fromuser, touser);
  return ImSessionManagerPrivate::recallVerdict(fromuser, key, totype, content.toInt()) ==
         ImSessionManagerPrivate::Recall::Refused;
}

QString ImSessionListManagerPrivate::shownContent(int msgtype, const QString& content,
                                                  int sendflag) {
  VTranslator* texts = VTranslator::instance();
  switch (msgtype) {
    case 0:
      return content;
    case 6:
      return ImSessionManager::instance()->getGroupNotifyContent(content);
    case 7:
      return texts->getString(QStringLiteral("hint_sdhbqzsjsck"));
    case 9:
      return texts->getString(sendflag == 1 ? QStringLiteral("hint_nchlytxx")
                                            : QStringLiteral("hint_chlytxx"));
    default:
      return texts->getString(QStringLiteral("hint_wzlxxx"));
  }
}

void ImSessionListManagerPrivate::decorate(ImSessionRow& row, ImSessionTexts& texts,
                                           ImSessionRow::Text peer) {
  // What decorate() does to a map, on the row's fields: a name or icon is set
  // only from a non-empty value, and only where the row has none yet.
  const auto fill = [&row, &texts](ImSessionRow::Text& field, ImSessionRow::Field bit,
                                   const QString& text) {
    if (field.length > 0) return;
    if (text.isEmpty()) return;
    field = texts.add(text);
    row.present |= bit;
  };
  if (row.totype == 1) {
    QString nick;
    if (row.remark.length > 0) {
      // Parsed before anything is added to the buffer the remark lies in.
      const QJsonDocument document = QJsonDocument::fromJson(texts.bytes(row.remark));
      const QJsonObject json = document.isObject() ? document.object() : QJsonObject();
      const QJsonObject from = Member(json, QStringLiteral("from"));
      const QJsonObject to = Member(json, QStringLiteral("to"));
      fill(row.icon, ImSessionRow::kIcon, to.value(QStringLiteral("logo")).toVariant().toString());
      fill(row.name, ImSessionRow::kName, to.value(QStringLiteral("nick")).toVariant().toString());
      nick = from.value(QStringLiteral("nick")).toVariant().toString();
    }
    // Every group row names its sender, also without a remark (synced history).
    row.fromName = texts.add(
        senderName(QString::fromUtf8(texts.bytes(row.fromuser)), row.sendflag, nick, row.account) +
        QStringLiteral(": "));
    row.present |= ImSessionRow::kFromName;
  }
  if (row.totype == 0) {
    ImUiInterface* engine = ImUiInterface::instance();
    const std::string person(texts.data(peer), size_t(peer.length));
    // The engine's texts are recycled by later calls: each is copied at once.
    row.name = texts.add(engine->GetUserInfo(person, 0));
    if (row.name.length > 0) row.present |= ImSessionRow::kName;
    row.icon = texts.add(engine->GetUserInfo(person, 2));
    if (row.icon.length > 0) row.present |= ImSessionRow::kIcon;
    const char* champ = engine->GetUserInfo(person, 4);
    row.champflag = QByteArray::fromRawData(champ, int(qstrlen(champ))).toInt();
    row.present |= ImSessionRow::kChampflag;
    if (row.name.length > 0 && row.icon.length > 0) return;
    const QString account = QString::fromUtf8(texts.bytes(peer));
    if (const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(account)) {
      fill(row.icon, ImSessionRow::kIcon, user->logo());
      fill(row.name, ImSessionRow::kName, user->name());
    }
    return;
  }
  const ImGroupEntity* group = ImGroupManager::instance()->getGroupEntity(row.account);
  if (!group) return;
  fill(row.icon, ImSessionRow::kIcon, group->grouplogo());
  fill(row.name, ImSessionRow::kName, group->groupname());
  row.title = group->title();
  row.parentName = texts.add(group->parentName());
  row.groupstate = group->groupstate();
  row.isMute = group->isMute();
  row.present |= ImSessionRow::kTitle | ImSessionRow::kParentName | ImSessionRow::kGroupstate |
                 ImSessionRow::kIsMute;
}

QVariantMap ImSessionRow::toMap() const {
  QVariantMap map;
  map.insert(QStringLiteral("id"), id);
  map.insert(QStringLiteral("msgid"), msgid);
  map.insert(QStringLiteral("msgtype"), msgtype);
  map.insert(QStringLiteral("fromuser"), text(fromuser));
  map.insert(QStringLiteral("fromgroup"), text(fromgroup));
  map.insert(QStringLiteral("fromver"), text(fromver));
  map.insert(QStringLiteral("device"), device);
  map.insert(QStringLiteral("touser"), text(touser));
  map.insert(QStringLiteral("totype"), totype);
  map.insert(QStringLiteral("content"), text(content));
  map.insert(QStringLiteral("remark"), text(remark));
  map.insert(QStringLiteral("localpath"), text(localpath));
  map.insert(QStringLiteral("fileurl"), text(fileurl));
  map.insert(QStringLiteral("sendflag"), sendflag);
  map.insert(QStringLiteral("sendstate"), sendstate);
  map.insert(QStringLiteral("localsend"), localsend);
  map.insert(QStringLiteral("seeflag"), seeflag);
  map.insert(QStringLiteral("atflag"), atflag);
  map.insert(QStringLiteral("cancelflag"), cancelflag);
  map.insert(QStringLiteral("sendtime"), text(sendtime));
  map.insert(QStringLiteral("deleted"), deleted);
  if (revokeflag != 0) map.insert(QStringLiteral("revokeflag"), revokeflag);
  map.insert(QStringLiteral("account"), account);
  if (present & kName) map.insert(QStringLiteral("name"), text(name));
  if (present & kIcon) map.insert(QStringLiteral("icon"), text(icon));
  if (present & kFromName) map.insert(QStringLiteral("fromName"), text(fromName));
  if (present & kChampflag) map.insert(QStringLiteral("champflag"), champflag);
  if (present & kTitle) map.insert(QStringLiteral("title"), title);
  if (present & kParentName) map.insert(QStringLiteral("parentName"), text(parentName));
  if (present & kGroupstate) map.insert(QStringLiteral("groupstate"), groupstate);
  if (present & kIsMute) map.insert(QStringLiteral("isMute"), isMute);
  if (present & kUnReadMsgCount) map.insert(QStringLiteral("unReadMsgCount"), unReadMsgCount);
  return map;
}

void ImSessionRow::setUnReadMsgCount(int count) {
  if (entity) {
    entity->setUnReadMsgCount(count);
  } else if (count != unReadMsgCount) {
    unReadMsgCount = count;
    present |= kUnReadMsgCount;
  }
}

void ImSessionRow::setAtflag(int flag) {
  if (entity)
    entity->setAtflag(flag);
  else
    atflag = flag;
}
