#include "conversations/MsgWorker.h"

#include <QDateTime>
#include <QDebug>
#include <QTime>

#include "conversations/ImSessionManagerPrivate.h"
#include "shell/ImUiInterface.h"

namespace {
QString Clock() { return QTime::currentTime().toString(QStringLiteral("hh:mm:ss:zzz")); }

}  // namespace

void MsgWorker::doSyncTextMsg(const QStringList& toList, const QString& content, int totype,
                              const QVariantMap& targets) {
  qDebug() << Q_FUNC_INFO << "toList = " << toList << "content length = " << content.size()
           << "totype = " << totype;
  qDebug() << "doSyncTextMsg begin " << Clock();
  for (const QString& account : toList) {
    qDebug() << "sUser = " << account;
    // Other conversations than the open one: their maps never open a view.
    emit buildMsgResult(ImSessionManagerPrivate::buildMsg(
        account, content, 0, totype, false, QStringList(), targets.value(account).toMap(), false));
  }
  qDebug() << "doSyncTextMsg end " << Clock();
}

void MsgWorker::doTransmitMsg(const QStringList& toList, int id, int msgType,
                              const QString& content, int totype, const QVariantMap& source) {
  qDebug() << Q_FUNC_INFO << "toList = " << toList << "id = " << id << "msgType = " << msgType
           << "content length = " << content.size() << "totype = " << totype;
  if (source.isEmpty()) return;
  ImUiInterface* ui = ImUiInterface::instance();
  QVariantMap map = source;
  for (const QString& account : toList) {
    qDebug() << "sUser = " << account;
    const int newId = ui->FwSendMsg(account.toUtf8().constData(), id);
    qDebug() << "nNewId = " << newId;
    // The engine stored nothing (the source row is gone): no message to show.
    if (newId <= 0) continue;
    map.insert(QStringLiteral("id"), newId);
    map.insert(QStringLiteral("fromuser"), QString::fromUtf8(ui->GetMyAccount()));
    map.insert(QStringLiteral("touser"), account);
    map.insert(QStringLiteral("sendflag"), 1);
    map.insert(QStringLiteral("sendstate"), 2);
    map.insert(QStringLiteral("totype"), totype);
    map.insert(QStringLiteral("showTime"), false);
    map.insert(QStringLiteral("icon"), QString());
    map.insert(QStringLiteral("name"), QString());
    map.insert(QStringLiteral("remark"), ImSessionManagerPrivate::storedRemark(newId));
    map.insert(QStringLiteral("sendtime"),
               QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    emit buildMsgResult(map);
  }
}
