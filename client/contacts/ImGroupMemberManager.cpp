#include "contacts/ImGroupMemberManager.h"

#include "shell/VExitCleanup.h"

ImGroupMemberManager::ImGroupMemberManager() : ImGroupMemberManager(new QList<QObject*>) {}

ImGroupMemberManager::ImGroupMemberManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupMemberManager::~ImGroupMemberManager() { delete m_items; }

ImGroupMemberManager* ImGroupMemberManager::instance() {
  static ImGroupMemberManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupMemberManager; });
}
