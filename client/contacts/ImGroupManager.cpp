#include "contacts/ImGroupManager.h"

#include "shell/VExitCleanup.h"

ImGroupManager::ImGroupManager() : ImGroupManager(new QList<QObject*>) {}

ImGroupManager::ImGroupManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupManager::~ImGroupManager() { delete m_items; }

ImGroupManager* ImGroupManager::instance() {
  static ImGroupManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImGroupManager;
    VExitCleanup::add([] {
      ImGroupManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
