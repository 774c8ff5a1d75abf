#include "contacts/ImSearchUserManager.h"

#include "shell/VExitCleanup.h"

ImSearchUserManager::ImSearchUserManager() : ImSearchUserManager(new QList<QObject*>) {}

ImSearchUserManager::ImSearchUserManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSearchUserManager::~ImSearchUserManager() { delete m_items; }

ImSearchUserManager* ImSearchUserManager::instance() {
  static ImSearchUserManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSearchUserManager; });
}
