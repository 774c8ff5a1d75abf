#include "contacts/ImGroupMemberManager.h"

#include "contacts/ImUserEntity.h"
#include "shell/VExitCleanup.h"

ImGroupMemberManager::ImGroupMemberManager() {
  qRegisterMetaType<ImGroupMemberManager*>("ImGroupMemberManager*");
}

ImGroupMemberManager* ImGroupMemberManager::instance() {
  static ImGroupMemberManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupMemberManager; });
}

void ImGroupMemberManager::addData(const QJsonArray& array) {
  appendItems(makeItems(array, QStringLiteral("account"),
                        [](const QVariantMap& map) { return new ImUserEntity(map); }));
}
