#include "contacts/ImGroupChildManager.h"

#include "shell/VExitCleanup.h"

ImGroupChildManager::ImGroupChildManager() : ImGroupChildManager(new QList<QObject*>) {}

ImGroupChildManager::ImGroupChildManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupChildManager::~ImGroupChildManager() { delete m_items; }

ImGroupChildManager* ImGroupChildManager::instance() {
  static ImGroupChildManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupChildManager; });
}
