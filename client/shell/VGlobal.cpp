#include "shell/VGlobal.h"

#include <QDebug>
#include <QMimeDatabase>
#include <QMimeType>

#include "shell/VExitCleanup.h"

VGlobal::VGlobal(QObject* parent) : QObject(parent) {}

VGlobal* VGlobal::instance() {
  static VGlobal* s_instance = nullptr;
  return VExitCleanup::singleton(s_instance, [] { return new VGlobal; });
}

QString VGlobal::format(const QString& fileName) const {
  const QMimeDatabase database;
  const QString byContent =
      database.mimeTypeForFile(fileName, QMimeDatabase::MatchContent).preferredSuffix();
  if (!byContent.isEmpty()) return byContent;
  return database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).preferredSuffix();
}

bool VGlobal::isOnline() const { return true; }

void VGlobal::playSound(VSound sound) { qDebug() << Q_FUNC_INFO << sound; }
