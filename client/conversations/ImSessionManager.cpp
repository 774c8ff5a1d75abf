#include "conversations/ImSessionManager.h"

#include "shell/VExitCleanup.h"

ImSessionManager::ImSessionManager() : ImSessionManager(new QList<QObject*>) {}

ImSessionManager::ImSessionManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionManager::~ImSessionManager() { delete m_items; }

ImSessionManager* ImSessionManager::instance() {
  static ImSessionManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSessionManager; });
}
