// Group notices: the small JSON object of a group notification turned into the
// one line the chat view and the conversation list show.
#include <QStringList>
#include <initializer_list>

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionManager.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImUiInterface.h"
#include "shell/VTranslator.h"

namespace {

QString T(const char* key) { return VTranslator::instance()->getString(QLatin1String(key)); }

// Chinese fragments join as they are; English words need a space between them
// (fragments that carry their own leading space keep just that one).
QString Line(std::initializer_list<QString> parts) {
  const bool spaced = VTranslator::currentLanguage() == VTranslator::EN_US;
  QString line;
  for (const QString& part : parts) {
    if (part.isEmpty()) continue;
    if (spaced && !line.isEmpty() && !line.back().isSpace() && !part.front().isSpace())
      line += QLatin1Char(' ');
    line += part;
  }
  return line;
}

// The members a notice names: a text, or a list of {"id", "nick"} (the nick, else the id).
QString MemberNames(const QVariant& members) {
  if (members.type() != QVariant::List) return members.toString();
  QStringList names;
  for (const QVariant& member : members.toList()) {
    const QVariantMap entry = member.toMap();
    const QString nick = entry.value(QStringLiteral("nick")).toString();
    names << (nick.isEmpty() ? entry.value(QStringLiteral("id")).toString() : nick);
  }
  return names.join(QStringLiteral(", "));
}

// Notices about several members: the long form names the count, the short one not.
QString MembersLine(const QVariantMap& notice, const char* prefix) {
  const QString members = MemberNames(notice.value(QStringLiteral("members")));
  const QString nick = notice.value(QStringLiteral("nick")).toString();
  const int count = notice.value(QStringLiteral("count")).toInt();
  const QByteArray p(prefix);
  if (count >= 3) {
    return Line({members, T(p + "1"), QString::number(count), T(p + "2"), nick, T(p + "3")});
  }
  return Line({members, T(p + "4"), nick, T(p + "5")});
}

struct BanSwitch {
  const char* field;
  const char* off;
  const char* on;
  bool named;
};

// The first switch a "groupban" notice sets; null when it sets none.
const BanSwitch* GroupBanSwitch(const QVariantMap& notice) {
  static const BanSwitch kSwitches[] = {
      {"banall", "hint_qyjcjygz", "hint_qyjygz", false},
      {"banurl", "hint_gblqyjzfslj", "hint_kqlqyjzfslj", true},
      {"banpic", "hint_gblqyjzfstp", "hint_kqlqyjzfstp", true},
      {"banscreenshot", "hint_gblqyjzjp", "hint_kqlqyjzjp", true},
  };
  for (const BanSwitch& s : kSwitches) {
    const QVariant value = notice.value(QLatin1String(s.field));
    if (value.isValid() && !value.isNull()) return &s;
  }
  return nullptr;
}

QString GroupBanLine(const QVariantMap& notice, const QString& nick) {
  const BanSwitch* s = GroupBanSwitch(notice);
  if (!s) return QString();
  const QString text = T(notice.value(QLatin1String(s->field)).toInt() == 0 ? s->off : s->on);
  return s->named ? Line({nick, text}) : text;
}

// Any thread: the counters worker asks too.
bool HasLine(const QVariantMap& notice) {
  const QString type = notice.value(QStringLiteral("notify")).toString();
  // A "set" that did not rename the group (its introduction, picture or join type
  // changed), an invitation and a ban notice that sets no switch have no line.
  if (type == QLatin1String("set")) return notice.contains(QStringLiteral("groupname"));
  if (type == QLatin1String("invite")) return false;
  if (type == QLatin1String("groupban")) return GroupBanSwitch(notice) != nullptr;
  return true;
}

}  // namespace

bool ImSessionManager::noticeHasLine(const QString& content) {
  return HasLine(ImUiInterface::instance()->convJsonToVariantMap(content));
}

QString ImSessionManager::getGroupNotifyContent(const QString& content) {
  const QVariantMap notice = ImUiInterface::instance()->convJsonToVariantMap(content);
  const QString type = notice.value(QStringLiteral("notify")).toString();
  d->lastNoticeType = type;
  if (!HasLine(notice)) return QString();
  const QString nick = notice.value(QStringLiteral("nick")).toString();
  const QString groupname = notice.value(QStringLiteral("groupname")).toString();

  if (type == QLatin1String("create")) return Line({nick, T("hint_cjqtz")});
  if (type == QLatin1String("set")) return Line({nick, T("hint_qcsgxtz"), groupname});
  if (type == QLatin1String("join")) {
    if (notice.value(QStringLiteral("userid")).toString() == myAccount())
      return Line({T("hint_rqtz1"), groupname, T("hint_rqtz2")});
    return Line({nick, T("hint_rqtz3")});
  }
  if (type == QLatin1String("nick")) return Line({nick, T("hint_ncxgtz")});
  if (type == QLatin1String("leave")) return Line({nick, T("hint_lqtz")});
  if (type == QLatin1String("destroy")) return Line({nick, T("hint_qjstz")});
  if (type == QLatin1String("code")) {
    return Line(
        {nick, T("hint_klbg1"), notice.value(QStringLiteral("code")).toString(), T("hint_klbg2")});
  }
  if (type == QLatin1String("grantowner")) return T("hint_bfyqz");
  if (type == QLatin1String("changeowner")) {
    const QVariantList members = notice.value(QStringLiteral("members")).toList();
    const QString owner = members.isEmpty()
                              ? QString()
                              : members.first().toMap().value(QStringLiteral("nick")).toString();
    return Line({owner, T("hint_qzbg")});
  }
  if (type == QLatin1String("grantadmin")) return T("hint_bfygly");
  if (type == QLatin1String("changeadmin")) return T("hint_glygg");
  if (type == QLatin1String("grantmember")) return T("hint_bfycy");
  if (type == QLatin1String("changemember")) return T("hint_cybg");
  if (type == QLatin1String("banall")) return T("hint_qyjygz");
  if (type == QLatin1String("allowall")) return T("hint_qyjcjygz");
  if (type == QLatin1String("ban")) return Line({T("hint_bjygz1"), nick, T("hint_bjygz2")});
  if (type == QLatin1String("allow")) return Line({T("hint_jcjygz1"), nick, T("hint_jcjygz2")});
  if (type == QLatin1String("banuser")) return MembersLine(notice, "hint_ygbjygz");
  if (type == QLatin1String("allowuser")) return MembersLine(notice, "hint_yhjcjytz");
  if (type == QLatin1String("add")) return Line({T("hint_bjrq"), groupname});
  if (type == QLatin1String("addeduser")) return MembersLine(notice, "hint_yhbjrq");
  if (type == QLatin1String("removeuser")) return MembersLine(notice, "hint_cybsctz");
  if (type == QLatin1String("remove")) return Line({T("hint_cybsc1"), nick, T("hint_cybsc2")});
  if (type == QLatin1String("addchild")) {
    return Line({T("hint_czzqtz1"), notice.value(QStringLiteral("childname")).toString(),
                 T("hint_czzqtz2")});
  }
  if (type == QLatin1String("groupban")) return GroupBanLine(notice, nick);
  if (type == QLatin1String("screenshot")) return Line({nick, T("hint_syljp")});
  return T("hint_bzcglx");
}

void ImSessionManager::retranslateRows() {
  for (ImMsgEntity* item : qAsConst(d->msgMap)) {
    switch (item->msgtype()) {
      case 6:
        item->setContent(
            getGroupNotifyContent(ImSessionManagerPrivate::storedField(item->id(), "content")));
        break;
      case 7:
        item->setContent(T("hint_sdhbqzsjsck"));
        break;
      case 9:
        item->setContent(ImSessionManagerPrivate::recallLine(item->name()));
        break;
      default:
        break;
    }
  }
  d->lastNoticeType.clear();
}
