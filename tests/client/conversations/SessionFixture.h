#ifndef TESMO_TESTS_CLIENT_SESSIONFIXTURE_H
#define TESMO_TESTS_CLIENT_SESSIONFIXTURE_H

// A signed-in account over the engine test double with a fresh database of the
// engine's schema, and helpers that seed and read nq_message rows.
#include <QDateTime>
#include <QJsonDocument>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <QtTest>

#include "conversations/ImMsgEntity.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VConfig.h"
#include "shell/VTranslator.h"

namespace SessionFixture {

const QString kMe = QStringLiteral("1000@tesmo.x");
const QString kPeer = QStringLiteral("2000@tesmo.x");
const QString kGroup = QStringLiteral("77@group.tesmo.x");

inline ImUiInterface* ui() { return ImUiInterface::instance(); }
inline ImSessionManager* manager() { return ImSessionManager::instance(); }

// Opens a new database file and signs the account in.
inline void Start(QTemporaryDir& dir) {
  ui()->initInterface();
  EngineDouble::Reset();
  EngineDouble::SetText("GetMyAccount", kMe.toStdString());
  EngineDouble::SetText("GetMyName", "Me");
  EngineDouble::SetText("GetMyLogo", "http://127.0.0.1/me.png");
  VConfig::instance()->setValue(QStringLiteral("LastloginAccount"), kMe);
  VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), kMe);
  QVERIFY(ImLoginManager::instance()->prepareAccountFolders(kMe));
  static int database = 0;
  const QByteArray path = dir.filePath(QStringLiteral("db%1.db").arg(++database)).toUtf8();
  QCOMPARE(ui()->SetDatabase(path.constData()), 2);
  manager()->setMyAccount(kMe);
}

inline QString Time(qint64 seconds) {
  return QDateTime(QDate(2026, 1, 1), QTime(0, 0))
      .addSecs(seconds)
      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

struct Row {
  Row(const QString& from, const QString& to, int totype = 0, qint64 seconds = 0, int sendflag = 0,
      int revokeflag = 0, int msgtype = 0, const QString& content = QString(),
      const QString& remark = QString(), int msgid = 0, const QString& fromgroup = QString())
      : from(from),
        to(to),
        totype(totype),
        seconds(seconds),
        sendflag(sendflag),
        revokeflag(revokeflag),
        msgtype(msgtype),
        content(content),
        remark(remark),
        msgid(msgid),
        fromgroup(fromgroup) {}
  QString from;
  QString to;
  int totype;
  qint64 seconds;
  int sendflag;
  int revokeflag;
  int msgtype;
  QString content;
  QString remark;
  int msgid;
  QString fromgroup;
};

// Inserts the row and returns its id.
inline QString Sql(QString text) { return text.replace('\'', QStringLiteral("''")); }

inline int Insert(const Row& row) {
  const QString sql =
      QStringLiteral(
          "insert into nq_message(msgid,msgtype,fromuser,fromgroup,touser,totype,content,remark,"
          "sendflag,sendstate,sendtime,revokeflag) values(%1,%2,'%3','%4','%5',%6,'%7','%8',%9,1,"
          "'%10',%11)")
          .arg(row.msgid)
          .arg(row.msgtype)
          .arg(Sql(row.from),
               Sql(row.fromgroup.isEmpty() && row.totype == 1 ? row.to : row.fromgroup),
               Sql(row.to))
          .arg(row.totype)
          .arg(row.content.isEmpty() ? QStringLiteral("m") : row.content, row.remark)
          .arg(row.sendflag)
          .arg(Time(row.seconds))
          .arg(row.revokeflag);
  if (!ui()->dbExecSql(sql)) return 0;
  const long set = ui()->DBSelectSql("select max(id) from nq_message");
  const int id = ui()->DBGetIntValue(set, 0, 0);
  ui()->DBRelease(set);
  return id;
}

inline QString Field(int id, const QString& column) {
  const long set = ui()->DBSelectSql(
      QStringLiteral("select %1 from nq_message where id=%2").arg(column).arg(id).toUtf8());
  const QString value =
      ui()->DBGetRecordCount(set) > 0 ? QString::fromUtf8(ui()->DBGetStrValue(set, 0, 0)) : "";
  ui()->DBRelease(set);
  return value;
}

// Local ids of the chat view, oldest first.
inline QList<int> ViewIds() {
  QList<int> ids;
  for (int row = 0; row < manager()->itemCount(); ++row)
    ids << qobject_cast<ImMsgEntity*>(manager()->get(row))->id();
  return ids;
}

inline void Notify(int method, int status, int dialog, const QString& text = QString()) {
  UIMessage message;
  message.m_Method = method;
  message.m_Status = status;
  message.m_DialogID = dialog;
  message.m_Arg1 = text;
  manager()->onNotify(&message);
}

inline QString Json(const QVariantMap& map) {
  return QString::fromUtf8(QJsonDocument::fromVariant(map).toJson(QJsonDocument::Compact));
}

// The dialog id of the latest recorded call of this name (its first argument).
inline int LastDialogOf(const std::string& name) {
  int dialog = 0;
  for (const std::string& call : EngineDouble::Calls()) {
    if (call.rfind(name + "(", 0) == 0) dialog = std::atoi(call.c_str() + name.size() + 1);
  }
  return dialog;
}

// The last call of that name: the conversation list's counters thread makes
// calls of its own at any time, so the very last call may be one of them.
inline QString LastCallOf(const std::string& name) {
  std::string last;
  for (const std::string& call : EngineDouble::Calls())
    if (call.rfind(name + "(", 0) == 0) last = call;
  return QString::fromStdString(last);
}

inline int CountCalls(const std::string& name) {
  int count = 0;
  for (const std::string& call : EngineDouble::CallNames()) count += call == name ? 1 : 0;
  return count;
}

}  // namespace SessionFixture

#endif
