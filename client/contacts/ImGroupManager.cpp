#include "contacts/ImGroupManager.h"

#include "contacts/ImContactsManager.h"
#include "shell/VExitCleanup.h"

ImGroupManager::ImGroupManager() : ImGroupManager(new QList<QObject*>) {}

ImGroupManager::ImGroupManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupManager::~ImGroupManager() { delete m_items; }

ImGroupManager* ImGroupManager::instance() {
  static ImGroupManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupManager; });
}

QObject* ImGroupManager::getGroupEntity(const QString& groupid) {
  Q_UNUSED(groupid);
  return nullptr;
}

bool ImGroupManager::isGroupMute(const QString& groupid) {
  return ImContactsManager::instance()->inBlackList(groupid);
}
