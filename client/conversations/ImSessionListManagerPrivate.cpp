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
#include "conversations/ImSessionThread.h"
#include "shell/ImUiInterface.h"
#include "shell/VTranslator.h"

namespace {
QString UserInfo(const std::string& account, int field) {
  // A copy at once: the engine's text is recycled by later calls.
  return QString::fromUtf8(ImUiInterface::instance()->GetUserInfo(account, field));
}

// `value` is asked for only when the map's entry is empty: reading a property by
// name is a look-up of its own.
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

int ImSessionListManagerPrivate::champFlagOf(const QString& account) {
  return UserInfo(account.toStdString(), 4).toInt();
}

void ImSessionListManagerPrivate::decorate(QVariantMap& map, const QString& account,
                                           const QString& peer) {
  const int totype = map.value(QStringLiteral("totype")).toInt();
  if (totype == 1) {
    const QString remark = map.value(QStringLiteral("remark")).toString();
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
      map.insert(QStringLiteral("fromName"),
                 from.value(QStringLiteral("nick")).toVariant().toString() + QStringLiteral(": "));
    }
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
    QObject* user = ImContactsManager::instance()->getUserEntity(peer);
    if (user) {
      FillWhenEmpty(map, QStringLiteral("icon"), [user] { return user->property("logo"); });
      FillWhenEmpty(map, QStringLiteral("name"), [user] { return user->property("name"); });
    }
    return;
  }
  QObject* group = ImGroupManager::instance()->getGroupEntity(account);
  if (!group) return;
  FillWhenEmpty(map, QStringLiteral("icon"), [group] { return group->property("grouplogo"); });
  FillWhenEmpty(map, QStringLiteral("name"), [group] { return group->property("groupname"); });
  map.insert(QStringLiteral("title"), group->property("title").toInt());
  map.insert(QStringLiteral("parentName"), group->property("parentName").toString());
  map.insert(QStringLiteral("groupstate"), group->property("groupstate").toInt());
  map.insert(QStringLiteral("isMute"), group->property("isMute").toBool());
}

QString ImSessionListManagerPrivate::shownContent(const QVariantMap& map) {
  VTranslator* texts = VTranslator::instance();
  switch (map.value(QStringLiteral("msgtype")).toInt()) {
    case 0:
      return map.value(QStringLiteral("content")).toString();
    case 6:
      return ImSessionManager::instance()->getGroupNotifyContent(
          map.value(QStringLiteral("content")).toString());
    case 7:
      return texts->getString(QStringLiteral("hint_sdhbqzsjsck"));
    case 9:
      return texts->getString(map.value(QStringLiteral("sendflag")).toInt() == 1
                                  ? QStringLiteral("hint_nchlytxx")
                                  : QStringLiteral("hint_chlytxx"));
    default:
      return texts->getString(QStringLiteral("hint_wzlxxx"));
  }
}
