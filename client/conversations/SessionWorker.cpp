#include "conversations/SessionWorker.h"

#include "conversations/ImMessageQuery.h"
#include "shell/ImUiInterface.h"

SessionWorker::SessionWorker(const std::atomic<bool>* stopping) : m_stopping(stopping) {}

QString SessionWorker::unreadCountSql(const QString& account, int type) {
  const QString quoted = ImMessageQuery::quoted(account);
  // A recalled message is not counted: its recall notice is the one thing to read.
  if (type == 0)
    return QStringLiteral(
               "select seeflag from nq_message where ((fromuser = %1 or touser = %1) and totype = "
               "0 and seeflag = 0 and deleted = 0 and revokeflag is not 1)")
        .arg(quoted);
  if (type == 1)
    return QStringLiteral(
               "select seeflag from nq_message where ((touser = %1) and totype = 1 and seeflag = "
               "0 and deleted = 0 and revokeflag is not 1)")
        .arg(quoted);
  return QString();
}

void SessionWorker::doUpdateMsgCount(const QString& account, int type) {
  if (m_stopping->load()) return;
  const int count = ImUiInterface::instance()->getDataCount(unreadCountSql(account, type));
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
