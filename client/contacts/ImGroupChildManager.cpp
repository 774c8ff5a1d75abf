#include "contacts/ImGroupChildManager.h"

#include "contacts/ImGroupEntity.h"
#include "shell/VExitCleanup.h"

ImGroupChildManager::ImGroupChildManager() {
  qRegisterMetaType<ImGroupChildManager*>("ImGroupChildManager*");
}

ImGroupChildManager* ImGroupChildManager::instance() {
  static ImGroupChildManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupChildManager; });
}

void ImGroupChildManager::addData(const QJsonArray& array) {
  appendItems(makeItems(array, QStringLiteral("groupid"),
                        [](const QVariantMap& map) { return new ImGroupEntity(map); }));
}
