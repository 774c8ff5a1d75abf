#include "contacts/ImGroupManager.h"

#include "shell/VExitCleanup.h"

ImGroupManager::ImGroupManager() : ImGroupManager(new QList<QObject*>) {}

ImGroupManager::ImGroupManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupManager::~ImGroupManager() { delete m_items; }

ImGroupManager* ImGroupManager::instance() {
  static ImGroupManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupManager; });
}
