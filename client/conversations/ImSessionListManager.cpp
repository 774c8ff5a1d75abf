#include "conversations/ImSessionListManager.h"

#include "conversations/ImMsgEntity.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

ImSessionListManager::ImSessionListManager() : ImSessionListManager(new QList<QObject*>) {}

ImSessionListManager::ImSessionListManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionListManager::~ImSessionListManager() {
  const QList<QObject*> rows = *m_items;
  qDeleteAll(rows);
  delete m_items;
}

ImSessionListManager* ImSessionListManager::instance() {
  static ImSessionListManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionListManager; });
}

void ImSessionListManager::updateData(const QVariantMap& map, bool isFromContact) {
  Q_UNUSED(isFromContact);
  QVariantMap row = map;
  const QString account = map.value(QStringLiteral("totype")).toInt() == 1
                              ? map.value(QStringLiteral("touser")).toString()
                              : ImUiInterface::instance()->getPeerAccount(
                                    map.value(QStringLiteral("fromuser")).toString(),
                                    map.value(QStringLiteral("touser")).toString());
  row.insert(QStringLiteral("account"), account);
  if (ImMsgEntity* session = getSession(account)) {
    session->setData(row);
    return;
  }
  insert(0, new ImMsgEntity(row));
}

ImMsgEntity* ImSessionListManager::getSession(const QString& account) const {
  for (QObject* object : *m_items) {
    auto* session = qobject_cast<ImMsgEntity*>(object);
    if (session && session->account() == account) return session;
  }
  return nullptr;
}

void ImSessionListManager::resetUnReadMsgCount(const QString& account) {
  if (ImMsgEntity* session = getSession(account)) session->setUnReadMsgCount(0);
}

void ImSessionListManager::resetAtflag(const QString& account) {
  if (ImMsgEntity* session = getSession(account)) session->setAtflag(0);
}

void ImSessionListManager::doUpdateUnReadMsgCount() {}
