#include "shell/ImLoginManager.h"

#include <QDebug>
#include <QStandardPaths>

#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"

ImLoginManager::ImLoginManager() = default;

ImLoginManager* ImLoginManager::instance() {
  static ImLoginManager* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new ImLoginManager; });
}

QString ImLoginManager::getLocalDataPath(int msgtype) {
  const QString account = VConfig::instance()->value(QStringLiteral("LastloginAccount")).toString();
  if (account.isEmpty()) return QString();
  QString folder;
  switch (msgtype) {
    case 2:
    case 8:
      folder = QStringLiteral("/Images/");
      break;
    case 4:
      folder = QStringLiteral("/Audio/");
      break;
    case 5:
      folder = QStringLiteral("/Video/");
      break;
    default:
      folder = QStringLiteral("/Documents/");
  }
  const QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                       QStringLiteral("/data/") + account + folder;
  qDebug() << Q_FUNC_INFO << path;
  return path;
}
