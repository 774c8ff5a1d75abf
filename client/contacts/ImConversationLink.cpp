#include "contacts/ImConversationLink.h"

#include <QDebug>
#include <QMetaMethod>
#include <QMetaObject>

#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"

namespace {
// The invokable `signature` of `target`, invalid when it offers none.
QMetaMethod Method(QObject* target, const char* signature) {
  const QMetaObject* meta = target->metaObject();
  const int index = meta->indexOfMethod(QMetaObject::normalizedSignature(signature));
  return index < 0 ? QMetaMethod() : meta->method(index);
}
}  // namespace

namespace ImConversationLink {

QString currentSessionId() {
  return ImSessionManager::instance()->currentSessionId();
}

QObject* sessionRow(const QString& account) {
  QObject* sessions = ImSessionListManager::instance();
  const QMetaMethod getSession = Method(sessions, "getSession(QString)");
  if (!getSession.isValid()) return nullptr;
  // The row is returned as a pointer to its own item class, which is a QObject.
  QObject* row = nullptr;
  if (!getSession.invoke(sessions, Qt::DirectConnection,
                         QGenericReturnArgument(getSession.typeName(), &row),
                         Q_ARG(QString, account)))
    return nullptr;
  return row;
}

void reloadSessionList() {
  QObject* sessions = ImSessionListManager::instance();
  const QMetaMethod initData = Method(sessions, "initData()");
  if (initData.isValid())
    initData.invoke(sessions, Qt::DirectConnection);
  else
    qDebug() << Q_FUNC_INFO << "the conversation list cannot be reloaded";
}

}  // namespace ImConversationLink
