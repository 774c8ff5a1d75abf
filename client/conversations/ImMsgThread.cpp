#include "conversations/ImMsgThread.h"

#include <QDebug>

#include "conversations/ImSessionManager.h"
#include "conversations/MsgWorker.h"

ImMsgThread::ImMsgThread(QObject* parent) : QObject(parent) {
  auto* worker = new MsgWorker;
  worker->moveToThread(&m_thread);
  connect(&m_thread, &QThread::finished, worker, &QObject::deleteLater);
  connect(this, &ImMsgThread::syncTextMsg, worker, &MsgWorker::doSyncTextMsg);
  connect(this, &ImMsgThread::transmitMsg, worker, &MsgWorker::doTransmitMsg);
  connect(worker, &MsgWorker::buildMsgResult, this, &ImMsgThread::onBuildMsgResult);
  m_thread.start(QThread::InheritPriority);
}

ImMsgThread::~ImMsgThread() {
  m_thread.quit();
  m_thread.wait();
}

void ImMsgThread::onBuildMsgResult(const QVariantMap& map) {
  qDebug() << Q_FUNC_INFO;
  ImSessionManager::instance()->updateDataToView(map);
}
