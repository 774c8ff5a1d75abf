#include "conversations/SessionWorker.h"

#include "conversations/ImMessageQuery.h"
#include "conversations/ImSessionListManagerPrivate.h"
#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImUiInterface.h"

SessionWorker::SessionWorker(const std::atomic<bool>* stopping) : m_stopping(stopping) {}

QString SessionWorker::unreadCountSql(const QString& account, int type) {
  const QString quoted = ImMessageQuery::quoted(account);
  QString unread;
  if (type == 0)
    unread = QStringLiteral(
                 "(fromuser = %1 or touser = %1) and totype = 0 and seeflag = 0 and deleted = 0")
                 .arg(quoted);
  else if (type == 1)
    unread =
        QStringLiteral("touser = %1 and totype = 1 and seeflag = 0 and deleted = 0").arg(quoted);
  else
    return QString();
  // Plain rows are counted by SQLite; only notices and recalled rows, which the
  // chat may not show, come back one by one to be judged. The first column tells
  // the count row (-1) from those.
  return QStringLiteral(
             "select -1, count(*), '', '', '', 0 from nq_message where (%1 and msgtype is not 6 "
             "and msgtype is not 9 and revokeflag is not 1) UNION ALL select msgtype, id, "
             "content, fromuser, touser, revokeflag from nq_message where (%1 and (msgtype in "
             "(6, 9) or revokeflag = 1))")
      .arg(unread);
}

bool SessionWorker::countsAsUnread(int msgtype, int id, const QString& content,
                                   const QString& fromuser, const QString& touser, int totype,
                                   int revokeflag) {
  // A recalled message is not counted: its recall notice is the one thing to read.
  // A mark that the rights rule refuses leaves the message shown, and counted.
  if (revokeflag == 1 && ImSessionManagerPrivate::recallStands(id)) return false;
  return !ImSessionListManagerPrivate::showsNothing(msgtype, content, fromuser, touser, totype);
}

void SessionWorker::doUpdateMsgCount(const QString& account, int type) {
  if (m_stopping->load()) return;
  const QString sql = unreadCountSql(account, type);
  int count = 0;
  if (!sql.isEmpty()) {
    ImUiInterface* engine = ImUiInterface::instance();
    const long set = engine->DBSelectSql(sql.toUtf8().constData());
    const int rows = set != 0 ? engine->DBGetRecordCount(set) : 0;
    for (int row = 0; row < rows; ++row) {
      if (m_stopping->load()) break;
      const int kind = engine->DBGetIntValue(set, row, 0);
      if (kind == -1) {
        count += qMax(0, engine->DBGetIntValue(set, row, 1));
        continue;
      }
      // Each text is copied at once: the engine recycles its result buffers.
      const QString content = QString::fromUtf8(engine->DBGetStrValue(set, row, 2));
      const QString fromuser = QString::fromUtf8(engine->DBGetStrValue(set, row, 3));
      const QString touser = QString::fromUtf8(engine->DBGetStrValue(set, row, 4));
      if (countsAsUnread(kind, engine->DBGetIntValue(set, row, 1), content, fromuser, touser, type,
                         engine->DBGetIntValue(set, row, 5)))
        ++count;
    }
    engine->DBRelease(set);
  }
  // A count cut short by the stop is no answer.
  if (m_stopping->load()) return;
  emit msgCountChange(account, count);
}

void SessionWorker::doUpdateAtFlag(const QString& account) {
  if (m_stopping->load()) return;
  ImUiInterface* engine = ImUiInterface::instance();
  const QByteArray peer = account.toUtf8();
  // Both searches always run: a mention of the user (1) outranks @all (2).
  int flag = 0;
  if (engine->SearchAtMsg(peer.constData(), 2) > 0) flag = 2;
  if (engine->SearchAtMsg(peer.constData(), 1) > 0) flag = 1;
  emit msgAtFlagChange(account, flag);
}

void SessionWorker::doUpdateCounters(const QStringList& accounts, const QList<int>& types) {
  const int count = qMin(accounts.size(), types.size());
  for (int i = 0; i < count && !m_stopping->load(); ++i) {
    doUpdateMsgCount(accounts.at(i), types.at(i));
    if (types.at(i) == 1) doUpdateAtFlag(accounts.at(i));
  }
}
