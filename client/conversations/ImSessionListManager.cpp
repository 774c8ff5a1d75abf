#include "conversations/ImSessionListManager.h"

#include "shell/VExitCleanup.h"

ImSessionListManager::ImSessionListManager() : ImSessionListManager(new QList<QObject*>) {}

ImSessionListManager::ImSessionListManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionListManager::~ImSessionListManager() { delete m_items; }

ImSessionListManager* ImSessionListManager::instance() {
  static ImSessionListManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionListManager; });
}
