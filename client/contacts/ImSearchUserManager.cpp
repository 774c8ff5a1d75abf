#include "contacts/ImSearchUserManager.h"

#include "contacts/ImUserEntity.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

ImSearchUserManager::ImSearchUserManager() {
  qRegisterMetaType<ImSearchUserManager*>("ImSearchUserManager*");
}

ImSearchUserManager* ImSearchUserManager::instance() {
  static ImSearchUserManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSearchUserManager; });
}

ImSearchUserManager* ImSearchUserManager::pickerInstance() {
  static ImSearchUserManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSearchUserManager; });
}

ImSearchUserManager* ImSearchUserManager::accountInstance() {
  static ImSearchUserManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImSearchUserManager; });
}

void ImSearchUserManager::addData(const QJsonArray& array) {
  const QString own = QString::fromUtf8(ImUiInterface::instance()->GetMyAccount());
  appendItems(makeItems(
      array, QStringLiteral("account"),
      [](const QVariantMap& map) { return new ImUserEntity(map); }, own));
}

QString ImSearchUserManager::name(const QString& account) const {
  const ImUserEntity* user = qobject_cast<ImUserEntity*>(item(account));
  return user ? user->name() : QString();
}
