#include "contacts/ImGroupMemberManager.h"

#include "shell/VExitCleanup.h"

ImGroupMemberManager::ImGroupMemberManager() : ImGroupMemberManager(new QList<QObject*>) {}

ImGroupMemberManager::ImGroupMemberManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupMemberManager::~ImGroupMemberManager() { delete m_items; }

ImGroupMemberManager* ImGroupMemberManager::instance() {
  static ImGroupMemberManager* s_instance = nullptr;
  if (!s_instance) {
    s_instance = new ImGroupMemberManager;
    VExitCleanup::add([] {
      ImGroupMemberManager* doomed = s_instance;
      s_instance = nullptr;
      delete doomed;
    });
  }
  return s_instance;
}
