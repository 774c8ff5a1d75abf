#include "contacts/ImGroupChildManager.h"

#include "shell/VExitCleanup.h"

ImGroupChildManager::ImGroupChildManager() : ImGroupChildManager(new QList<QObject*>) {}

ImGroupChildManager::ImGroupChildManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupChildManager::~ImGroupChildManager() { delete m_items; }

ImGroupChildManager* ImGroupChildManager::instance() {
  static ImGroupChildManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImGroupChildManager;
    VExitCleanup::add([] {
      ImGroupChildManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
