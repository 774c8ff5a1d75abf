#include "contacts/ImGroupAdminManager.h"

#include "shell/VExitCleanup.h"

ImGroupAdminManager::ImGroupAdminManager() : ImGroupAdminManager(new QList<QObject*>) {}

ImGroupAdminManager::ImGroupAdminManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupAdminManager::~ImGroupAdminManager() { delete m_items; }

ImGroupAdminManager* ImGroupAdminManager::instance() {
  static ImGroupAdminManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupAdminManager; });
}
