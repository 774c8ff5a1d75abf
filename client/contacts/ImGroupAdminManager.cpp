#include "contacts/ImGroupAdminManager.h"

#include "contacts/ImGroupManager.h"
#include "contacts/ImUserEntity.h"
#include "shell/VExitCleanup.h"

ImGroupAdminManager::ImGroupAdminManager() {
  qRegisterMetaType<ImGroupAdminManager*>("ImGroupAdminManager*");
}

ImGroupAdminManager* ImGroupAdminManager::instance() {
  static ImGroupAdminManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImGroupAdminManager; });
}

void ImGroupAdminManager::initData(const QJsonArray& array) {
  const QList<QObject*> made =
      makeItems(array, QStringLiteral("account"),
                [](const QVariantMap& map) { return new ImUserEntity(map); });
  // prependItems reverses its list; the array order is wanted on top.
  QList<QObject*> reversed;
  for (QObject* item : made) reversed.prepend(item);
  prependItems(reversed);
}

bool ImGroupAdminManager::isOwner(const QString& account) const {
  return account == ImGroupManager::instance()->owner();
}

bool ImGroupAdminManager::isAdmin(const QString& account) const { return item(account) != nullptr; }
