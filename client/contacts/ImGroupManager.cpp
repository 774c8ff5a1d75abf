#include "contacts/ImGroupManager.h"

#include "contacts/ImGroupEntity.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

ImGroupManager::ImGroupManager() : ImGroupManager(new QList<QObject*>) {}

ImGroupManager::ImGroupManager(QList<QObject*>* items)
    : ImBaseListModel(nullptr, items), m_items(items) {}

ImGroupManager::~ImGroupManager() { delete m_items; }

ImGroupManager* ImGroupManager::instance() {
  static ImGroupManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupManager; });
}

ImGroupEntity* ImGroupManager::getGroupEntity(const QString& groupid) {
  for (QObject* object : *m_items) {
    auto* group = qobject_cast<ImGroupEntity*>(object);
    if (group && group->groupid() == groupid) return group;
  }
  return nullptr;
}

bool ImGroupManager::isGroupMute(const QString& groupid) {
  if (groupid.isEmpty()) return false;
  const QString blackList = QString::fromUtf8(ImUiInterface::instance()->GetBlackList());
  return blackList.split(QLatin1Char(','), Qt::SkipEmptyParts).contains(groupid);
}

QString ImGroupManager::setGroupname(const QString& groupname) {
  if (m_groupname != groupname) {
    m_groupname = groupname;
    emit groupnameChanged();
  }
  return groupname;
}

QString ImGroupManager::setInfo(const QString& info) {
  if (m_info != info) {
    m_info = info;
    emit infoChanged();
  }
  return info;
}

QString ImGroupManager::setGroupIcon(const QString& groupIcon) {
  if (m_groupIcon != groupIcon) {
    m_groupIcon = groupIcon;
    emit groupIconChanged();
  }
  return groupIcon;
}

int ImGroupManager::setMemberCount(int memberCount) {
  if (m_memberCount != memberCount) {
    m_memberCount = memberCount;
    emit memberCountChanged();
  }
  return memberCount;
}
