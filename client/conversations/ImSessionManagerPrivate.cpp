#include "conversations/ImSessionManagerPrivate.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupEntity.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImUserEntity.h"
#include "conversations/ImMsgEntity.h"
#include "conversations/ImMsgThread.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VTranslator.h"

namespace {
// Long enough for any real name, short enough for every file system once the
// message id and the folder are added.
constexpr int kMaxFileNameLength = 120;

// Messages further apart than this get a time label between them.
constexpr qint64 kTimeLabelGapMs = 120000;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

bool IsFileType(int msgtype) { return msgtype >= 2 && msgtype <= 5; }

QString NowText() { return QDateTime::currentDateTime().toString(kTimeFormat); }

// Seconds of a "yyyy-MM-dd hh:mm:ss" text on the wall clock, -1 when it is not
// one. Read by hand: it runs for every message that arrives or is paged in.
qint64 WallSeconds(const QString& text) {
  if (text.size() != 19) return -1;
  int field[6];
  static const int kStart[6] = {0, 5, 8, 11, 14, 17};
  static const char kAfter[6] = {'-', '-', ' ', ':', ':', '\0'};
  for (int f = 0; f < 6; ++f) {
    const int end = f == 0 ? 4 : kStart[f] + 2;
    int value = 0;
    for (int i = kStart[f]; i < end; ++i) {
      const QChar c = text.at(i);
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
      value = value * 10 + (c.unicode() - '0');
    }
    if (kAfter[f] != '\0' && text.at(end) != QLatin1Char(kAfter[f])) return -1;
    field[f] = value;
  }
  const QDate date(field[0], field[1], field[2]);
  if (!date.isValid() || !QTime::isValid(field[3], field[4], field[5])) return -1;
  return date.toJulianDay() * 86400 + field[3] * 3600 + field[4] * 60 + field[5];
}

QString Text(char* engineText) { return QString::fromUtf8(engineText ? engineText : ""); }
}  // namespace

ImSessionManagerPrivate::ImSessionManagerPrivate() : msgThread(new ImMsgThread) {}

ImSessionManagerPrivate::~ImSessionManagerPrivate() {
  delete msgThread;
  delete lastAtMessage;
}

QVariantMap ImSessionManagerPrivate::targetOf(const QString& toUser, int totype) {
  QVariantMap to;
  if (totype == 1) {
    if (const ImGroupEntity* group = ImGroupManager::instance()->getGroupEntity(toUser)) {
      to.insert(QStringLiteral("logo"), group->grouplogo());
      to.insert(QStringLiteral("nick"), group->groupname());
    }
  } else if (const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(toUser)) {
    to.insert(QStringLiteral("logo"), user->logo());
    to.insert(QStringLiteral("nick"), user->name());
  }
  return to;
}

QVariantMap ImSessionManagerPrivate::buildMsg(const QString& toUser, const QString& content,
                                              int msgtype, int totype, bool atAll,
                                              const QStringList& atList, const QVariantMap& to,
                                              bool firstInView) {
  qDebug() << Q_FUNC_INFO << "toUser = " << toUser << "content length = " << content.size()
           << "msgtype = " << msgtype << "totype = " << totype << "atAll = " << atAll
           << "atList = " << atList;
  ImUiInterface* ui = ImUiInterface::instance();
  QVariantMap result;
  QString body = content;
  if (IsFileType(msgtype)) {
    body = ui->removeFilePrefix(content);
    if (msgtype != 2) {
      const qint64 size = ui->checkFileExists(body) ? ui->getFileSize(body) : 0;
      result.insert(QStringLiteral("fileSize"), ui->getSizeStr(size));
    }
  }

  const QString myName = Text(ui->GetMyName());
  QJsonObject remark;
  remark.insert(QStringLiteral("from"), QJsonObject{{QStringLiteral("logo"), Text(ui->GetMyLogo())},
                                                    {QStringLiteral("nick"), myName}});
  result.insert(QStringLiteral("fromName"), myName + QStringLiteral(": "));
  remark.insert(QStringLiteral("to"), QJsonObject::fromVariantMap(to));
  if (msgtype == 2) {
    const QSize size = ui->getImageSize(body);
    const int width = size.isValid() ? size.width() : -1;
    const int height = size.isValid() ? size.height() : -1;
    remark.insert(QStringLiteral("width"), width);
    remark.insert(QStringLiteral("height"), height);
    result.insert(QStringLiteral("width"), width);
    result.insert(QStringLiteral("height"), height);
  }
  remark.insert(QStringLiteral("atAll"), atAll);
  QJsonArray atUsers;
  for (const QString& account : atList)
    atUsers.append(QJsonObject{{QStringLiteral("id"), account}});
  remark.insert(QStringLiteral("atUsers"), atUsers);
  const QByteArray remarkText = QJsonDocument(remark).toJson(QJsonDocument::Indented);

  const QByteArray target = toUser.toUtf8();
  const QByteArray payload = body.toUtf8();
  int id;
  if (IsFileType(msgtype)) {
    id = ui->SendMsgFile(target.constData(), msgtype, payload.constData(), remarkText.constData());
    result.insert(QStringLiteral("localpath"), body);
    result.insert(QStringLiteral("downloadState"), 1);
    result.insert(QStringLiteral("fileName"), ui->getFileName(body));
  } else {
    id = ui->SendMsgIM(target.constData(), msgtype, payload.constData(), remarkText.constData());
  }
  result.insert(QStringLiteral("id"), id);
  result.insert(QStringLiteral("fromuser"), Text(ui->GetMyAccount()));
  result.insert(QStringLiteral("touser"), toUser);
  // The conversation list tells groups from people by these two.
  result.insert(QStringLiteral("totype"), totype);
  result.insert(QStringLiteral("remark"), QString::fromUtf8(remarkText));
  result.insert(QStringLiteral("content"), body);
  result.insert(QStringLiteral("sendflag"), 1);
  result.insert(QStringLiteral("sendstate"), 2);
  result.insert(QStringLiteral("msgtype"), msgtype);
  result.insert(QStringLiteral("revokeflag"), 0);
  result.insert(QStringLiteral("champflag"), ui->GetChampFlag());
  result.insert(QStringLiteral("sendtime"), NowText());
  if (firstInView) result.insert(QStringLiteral("showTime"), true);
  return result;
}

QString ImSessionManagerPrivate::safeFileName(const QString& name, int id) {
  QString base = name;
  base.replace(QLatin1Char('\\'), QLatin1Char('/'));
  base = base.mid(base.lastIndexOf(QLatin1Char('/')) + 1);
  QString clean;
  for (const QChar c : base) {
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) continue;
    clean.append(c);
  }
  clean = clean.trimmed();
  // Leading dots would hide the file or spell "..".
  while (clean.startsWith(QLatin1Char('.'))) clean.remove(0, 1);
  if (clean.size() > kMaxFileNameLength) {
    const int dot = clean.lastIndexOf(QLatin1Char('.'));
    const QString suffix = dot > 0 && clean.size() - dot <= 16 ? clean.mid(dot) : QString();
    clean = clean.left(kMaxFileNameLength - suffix.size()) + suffix;
  }
  if (clean.isEmpty()) clean = QStringLiteral("file");
  return QString::number(id) + QLatin1Char('_') + clean;
}

bool ImSessionManagerPrivate::startsAfterGap(const QString& previous, const QString& time) {
  const qint64 at = WallSeconds(time);
  const qint64 before = WallSeconds(previous);
  return at < 0 || before < 0 || (at - before) * 1000 > kTimeLabelGapMs;
}

bool ImSessionManagerPrivate::isWebUrl(const QString& url) {
  const QString scheme = QUrl(url).scheme().toLower();
  return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString ImSessionManagerPrivate::storedField(int id, const char* column) {
  ImUiInterface* ui = ImUiInterface::instance();
  const QByteArray sql = QStringLiteral("SELECT %1 FROM nq_message WHERE id=%2")
                             .arg(QLatin1String(column))
                             .arg(id)
                             .toUtf8();
  const long set = ui->DBSelectSql(sql.constData());
  QString value;
  if (set != 0) {
    if (ui->DBGetRecordCount(set) > 0) value = QString::fromUtf8(ui->DBGetStrValue(set, 0, 0));
    ui->DBRelease(set);
  }
  return value;
}

QString ImSessionManagerPrivate::storedRemark(int id) { return storedField(id, "remark"); }

QString ImSessionManagerPrivate::storedLocalPath(int id) { return storedField(id, "localpath"); }

QString ImSessionManagerPrivate::storedFileUrl(int id) {
  // A sent file's row holds its web address in place of the local path.
  const QString content = storedField(id, "content");
  return isWebUrl(content) ? content : QString();
}

ImSessionManagerPrivate::Recall ImSessionManagerPrivate::recallVerdict(const QString& recaller,
                                                                       const QString& key,
                                                                       int totype, int id) {
  ImUiInterface* ui = ImUiInterface::instance();
  const long set =
      ui->DBSelectSql(QStringLiteral("SELECT fromuser,touser,totype FROM nq_message WHERE id=%1")
                          .arg(id)
                          .toUtf8()
                          .constData());
  QString fromuser;
  QString touser;
  int type = -1;
  if (set != 0 && ui->DBGetRecordCount(set) > 0) {
    fromuser = QString::fromUtf8(ui->DBGetStrValue(set, 0, 0));
    touser = QString::fromUtf8(ui->DBGetStrValue(set, 0, 1));
    type = ui->DBGetIntValue(set, 0, 2);
  }
  ui->DBRelease(set);
  if (type < 0) return Recall::Unknown;
  if (type != totype || key.isEmpty()) return Recall::Refused;
  const QString conversation = totype == 1 ? touser : ui->getPeerAccount(fromuser, touser);
  if (conversation != key) return Recall::Refused;
  if (fromuser == recaller) return Recall::Allowed;
  if (totype != 1) return Recall::Refused;
  // The server took the user's own recall before any notice of it was stored; the
  // member list here may not know the user's role yet.
  if (recaller == Text(ui->GetMyAccount())) return Recall::Allowed;
  const long roles =
      ui->DBSelectSql((QStringLiteral("SELECT role FROM nq_groupuser WHERE groupid=") +
                       ImMessageQuery::quoted(key) + QStringLiteral(" and account=") +
                       ImMessageQuery::quoted(recaller))
                          .toUtf8()
                          .constData());
  const int role = ui->DBGetRecordCount(roles) > 0 ? ui->DBGetIntValue(roles, 0, 0) : 0;
  ui->DBRelease(roles);
  // 1 owner, 2 manager.
  if (role == 1 || role == 2) return Recall::Allowed;
  // The group list names every group's owner, also before its members were loaded.
  const long owner =
      ui->DBSelectSql((QStringLiteral("SELECT 1 FROM nq_group WHERE groupid=") +
                       ImMessageQuery::quoted(key) + QStringLiteral(" and craccount=") +
                       ImMessageQuery::quoted(recaller))
                          .toUtf8()
                          .constData());
  const bool isOwner = owner != 0 && ui->DBGetRecordCount(owner) > 0;
  ui->DBRelease(owner);
  return isOwner ? Recall::Allowed : Recall::Refused;
}

bool ImSessionManagerPrivate::mayRecall(const QString& recaller, const QString& key, int totype,
                                        int id) {
  return recallVerdict(recaller, key, totype, id) == Recall::Allowed;
}

namespace {

// Reads the recall notices that a statement selects (fromuser, touser, totype):
// true when one of them came from someone who may take message `id` back; `any`
// tells whether there was a notice at all.
bool AllowedNotice(ImUiInterface* ui, const QString& sql, int id, bool* any) {
  const long set = ui->DBSelectSql(sql.toUtf8().constData());
  const int count = set != 0 ? ui->DBGetRecordCount(set) : 0;
  *any = count > 0;
  bool allowed = false;
  for (int row = 0; row < count && !allowed; ++row) {
    const QString fromuser = QString::fromUtf8(ui->DBGetStrValue(set, row, 0));
    const QString touser = QString::fromUtf8(ui->DBGetStrValue(set, row, 1));
    const int totype = ui->DBGetIntValue(set, row, 2);
    const QString key = totype == 1 ? touser : ui->getPeerAccount(fromuser, touser);
    allowed = ImSessionManagerPrivate::mayRecall(fromuser, key, totype, id);
  }
  ui->DBRelease(set);
  return allowed;
}

}  // namespace

bool ImSessionManagerPrivate::recallStands(int id) {
  ImUiInterface* ui = ImUiInterface::instance();
  // A notice is stored after the message it names: only newer ids are read.
  const QString naming = QStringLiteral(" and msgtype=9 and content=") +
                         ImMessageQuery::quoted(QString::number(id)) + QStringLiteral(" and id>") +
                         QString::number(id);
  const QString select = QStringLiteral("SELECT fromuser,touser,totype FROM nq_message WHERE ");
  QString conversation;
  const long message =
      ui->DBSelectSql(QStringLiteral("SELECT fromuser,touser,totype FROM nq_message WHERE id=%1")
                          .arg(id)
                          .toUtf8()
                          .constData());
  if (message != 0 && ui->DBGetRecordCount(message) > 0) {
    const QString fromuser = QString::fromUtf8(ui->DBGetStrValue(message, 0, 0));
    const QString touser = QString::fromUtf8(ui->DBGetStrValue(message, 0, 1));
    const QString key = ImMessageQuery::quoted(
        ui->DBGetIntValue(message, 0, 2) == 1 ? touser : ui->getPeerAccount(fromuser, touser));
    // Only a notice of the message's own conversation may stand: it is read along
    // that conversation's index, not through every newer row of the table.
    if (ui->DBGetIntValue(message, 0, 2) == 1) {
      conversation =
          select + QStringLiteral("touser=") + key + QStringLiteral(" and totype=1") + naming;
    } else {
      conversation = select + QStringLiteral("fromuser=") + key + QStringLiteral(" and totype=0") +
                     naming + QStringLiteral(" UNION ALL ") + select + QStringLiteral("touser=") +
                     key + QStringLiteral(" and totype=0 and fromuser IS NOT ") + key + naming;
    }
  }
  ui->DBRelease(message);
  bool any = false;
  if (!conversation.isEmpty() && AllowedNotice(ui, conversation, id, &any)) return true;
  if (any) return false;
  // None there: the whole table tells a mark that no notice names (it stands, as
  // nothing tells who took it back) from one that only another conversation's does.
  const bool allowed = AllowedNotice(ui, select + naming.mid(5), id, &any);
  return allowed || !any;
}

void ImSessionManagerPrivate::markSeen(int id) {
  if (id <= 0) return;
  ImUiInterface::instance()->dbExecSql(
      QStringLiteral("UPDATE nq_message SET seeflag=1 WHERE id=%1").arg(id));
}

int ImSessionManagerPrivate::newestMessageId() {
  ImUiInterface* ui = ImUiInterface::instance();
  const long set = ui->DBSelectSql("select max(id) from nq_message");
  const int newest = set != 0 ? ui->DBGetIntValue(set, 0, 0) : 0;
  ui->DBRelease(set);
  return newest;
}

bool ImSessionManagerPrivate::hasMentionAfter(const QString& account, int after) {
  ImUiInterface* ui = ImUiInterface::instance();
  const long set = ui->DBSelectSql(
      QStringLiteral("select id from nq_message where id>%1 and +touser=%2 and atflag>0 limit 1")
          .arg(QString::number(after), ImMessageQuery::quoted(account))
          .toUtf8()
          .constData());
  const bool found = ui->DBGetRecordCount(set) > 0;
  ui->DBRelease(set);
  return found;
}

QVariantMap ImSessionManagerPrivate::storedLastMention(const QString& account, int type) {
  const QString a = ImMessageQuery::quoted(account);
  QString where;
  if (type == 0)
    where = QStringLiteral("(fromuser=%1 or touser=%1) and totype=0").arg(a);
  else if (type == 1)
    where = QStringLiteral("touser=%1 and totype=1 and fromgroup=%1").arg(a);
  else
    return QVariantMap();
  ImUiInterface* ui = ImUiInterface::instance();
  const long set = ui->DBSelectSql(
      (QStringLiteral("SELECT id,msgid,sendtime FROM nq_message WHERE ") + where +
       QStringLiteral(" and deleted=0 and atflag>0 ORDER BY sendtime DESC, id DESC LIMIT 1"))
          .toUtf8()
          .constData());
  QVariantMap mention;
  if (set != 0 && ui->DBGetRecordCount(set) > 0) {
    mention.insert(QStringLiteral("id"), ui->DBGetIntValue(set, 0, 0));
    mention.insert(QStringLiteral("msgid"), ui->DBGetIntValue(set, 0, 1));
    mention.insert(QStringLiteral("sendtime"), QString::fromUtf8(ui->DBGetStrValue(set, 0, 2)));
  }
  ui->DBRelease(set);
  return mention;
}

bool ImSessionManagerPrivate::isInAccountFolder(const QString& path) {
  const QString documents = ImLoginManager::instance()->getLocalDataPath(0);
  if (documents.isEmpty() || path.isEmpty()) return false;
  const QString root = QFileInfo(QDir::cleanPath(documents)).path() + QLatin1Char('/');
  const QFileInfo file(path);
  const QString resolved = file.exists() ? file.canonicalFilePath() : file.absoluteFilePath();
  const QFileInfo rootInfo(root);
  const QString realRoot =
      rootInfo.exists() ? rootInfo.canonicalFilePath() + QLatin1Char('/') : root;
  return QDir::cleanPath(resolved).startsWith(realRoot);
}

QString ImSessionManagerPrivate::senderName(const QString& fromuser, const QString& remarkNick) {
  const QString cached = Text(ImUiInterface::instance()->GetUserInfo(fromuser.toStdString(), 0));
  if (!cached.isEmpty()) return cached;
  if (!remarkNick.isEmpty()) return remarkNick;
  const ImUserEntity* user = ImContactsManager::instance()->getUserEntity(fromuser);
  return user ? user->name() : QString();
}

QString ImSessionManagerPrivate::recallLine(const QString& name) {
  return name + VTranslator::instance()->getString(QStringLiteral("hint_chlytxx"));
}
