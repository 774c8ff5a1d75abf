#include "contacts/ImContactsManager.h"

#include "shell/VExitCleanup.h"

ImContactsManager::ImContactsManager() : ImContactsManager(new QList<QObject*>) {}

ImContactsManager::ImContactsManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImContactsManager::~ImContactsManager() { delete m_items; }

ImContactsManager* ImContactsManager::instance() {
  static ImContactsManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImContactsManager;
    VExitCleanup::add([] {
      ImContactsManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
