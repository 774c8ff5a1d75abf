#include "contacts/ImContactsManager.h"

#include "shell/VExitCleanup.h"

ImContactsManager::ImContactsManager() : ImContactsManager(new QList<QObject*>) {}

ImContactsManager::ImContactsManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImContactsManager::~ImContactsManager() { delete m_items; }

ImContactsManager* ImContactsManager::instance() {
  static ImContactsManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImContactsManager; });
}
