#include "contacts/ImContactsManager.h"

#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

ImContactsManager::ImContactsManager() : ImContactsManager(new QList<QObject*>) {}

ImContactsManager::ImContactsManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImContactsManager::~ImContactsManager() { delete m_items; }

ImContactsManager* ImContactsManager::instance() {
  static ImContactsManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImContactsManager; });
}

QObject* ImContactsManager::getUserEntity(const QString& account) {
  Q_UNUSED(account);
  return nullptr;
}

bool ImContactsManager::inBlackList(const QString& account) {
  if (account.isEmpty()) return false;
  const QString list = QString::fromUtf8(ImUiInterface::instance()->GetBlackList());
  return list.split(QLatin1Char(','), Qt::SkipEmptyParts).contains(account);
}
