#include "conversations/ImSessionListManager.h"

#include "shell/VExitCleanup.h"

ImSessionListManager::ImSessionListManager() : ImSessionListManager(new QList<QObject*>) {}

ImSessionListManager::ImSessionListManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImSessionListManager::~ImSessionListManager() { delete m_items; }

ImSessionListManager* ImSessionListManager::instance() {
  static ImSessionListManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImSessionListManager;
    VExitCleanup::add([] {
      ImSessionListManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
