#include "contacts/ImContactsManager.h"

#include "contacts/ImUserEntity.h"
#include "shell/VExitCleanup.h"

ImContactsManager::ImContactsManager() : ImContactsManager(new QList<QObject*>) {}

ImContactsManager::ImContactsManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImContactsManager::~ImContactsManager() { delete m_items; }

ImContactsManager* ImContactsManager::instance() {
  static ImContactsManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImContactsManager; });
}

ImUserEntity* ImContactsManager::getUserEntity(const QString& account) {
  for (QObject* object : *m_items) {
    auto* user = qobject_cast<ImUserEntity*>(object);
    if (user && user->account() == account) return user;
  }
  return nullptr;
}
