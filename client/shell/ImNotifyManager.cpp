#include "shell/ImNotifyManager.h"

#include <QCoreApplication>
#include <QDebug>
#include <memory>

ImNotifyManager::ImNotifyManager(QObject* parent) : QObject(parent) {
  // Without the registration a queued use of the signal would fail at run time.
  qRegisterMetaType<const UIMessage*>("const UIMessage*");
}

void ImNotifyManager::doNotify(const UIMessage* pMsg) {
  if (!pMsg) return;
  qDebug() << Q_FUNC_INFO << "pMsg->m_Method = " << pMsg->m_Method;
  // One hop into this object's thread: posted events to one receiver keep their
  // order, and the record dies with the event whether it is delivered or dropped.
  std::shared_ptr<const UIMessage> record(pMsg);
  QMetaObject::invokeMethod(
      this,
      [this, record]() {
        emit notify(record.get());
        // Slots connected as queued run after this call; a last posted holder
        // keeps the record until they have.
        QMetaObject::invokeMethod(
            this, [record]() {}, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

void ImNotifyManager::dropPending() {
  QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
}
