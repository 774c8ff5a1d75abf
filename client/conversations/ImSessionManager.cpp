#include "conversations/ImSessionManager.h"

#include "shell/VExitCleanup.h"

ImSessionManager::ImSessionManager() : ImSessionManager(new QList<QObject*>) {}

ImSessionManager::ImSessionManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionManager::~ImSessionManager() { delete m_items; }

ImSessionManager* ImSessionManager::instance() {
  static ImSessionManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImSessionManager;
    VExitCleanup::add([] {
      ImSessionManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
