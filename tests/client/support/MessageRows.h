#ifndef TESMO_TESTS_CLIENT_MESSAGEROWS_H
#define TESMO_TESTS_CLIENT_MESSAGEROWS_H

// Seeds the engine's message tables of the test double's database through the
// program's own SQL path.

#include <QString>

#include "conversations/ImMessageQuery.h"
#include "shell/ImUiInterface.h"

namespace MessageRows {

struct Message {
  QString from;
  QString to;
  int totype = 0;
  int msgtype = 0;
  QString content = QStringLiteral("x");
  int sendflag = 0;
  int seeflag = 0;
  int deleted = 0;
  int atflag = 0;
  QString sendtime = QStringLiteral("2026-01-01 10:00:00");
  QString remark;
};

// Stores one message and returns its local id (0 on failure).
inline int Store(const Message& m) {
  ImUiInterface* ui = ImUiInterface::instance();
  auto q = &ImMessageQuery::quoted;
  const QString sql =
      QStringLiteral(
          "insert into nq_message(msgtype,fromuser,fromgroup,touser,totype,content,remark,"
          "sendflag,seeflag,deleted,atflag,sendtime) values(%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,"
          "%12)")
          .arg(m.msgtype)
          .arg(q(m.from), q(m.totype == 1 ? m.to : QString()), q(m.to))
          .arg(m.totype)
          .arg(q(m.content), q(m.remark))
          .arg(m.sendflag)
          .arg(m.seeflag)
          .arg(m.deleted)
          .arg(m.atflag)
          .arg(q(m.sendtime));
  if (!ui->dbExecSql(sql)) return 0;
  const long set = ui->DBSelectSql("select max(id) from nq_message");
  const int id = set ? ui->DBGetIntValue(set, 0, 0) : 0;
  ui->DBRelease(set);
  return id;
}

// Makes the message the newest of the conversation `account` in the list table.
inline bool MarkNewest(const QString& account, int id) {
  return ImUiInterface::instance()->dbExecSql(
      QStringLiteral("insert or replace into nq_messagenew(account,msgid) values(%1,%2)")
          .arg(ImMessageQuery::quoted(account))
          .arg(id));
}

// Stores the message and makes it its conversation's newest.
inline int StoreNewest(const QString& account, const Message& m) {
  const int id = Store(m);
  return id > 0 && MarkNewest(account, id) ? id : 0;
}

inline int Count(const QString& where) {
  return ImUiInterface::instance()->getDataCount(
      QStringLiteral("select id from nq_message where ") + where);
}

}  // namespace MessageRows

#endif
