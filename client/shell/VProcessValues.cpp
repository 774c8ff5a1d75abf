#include "shell/VProcessValues.h"

const QString& VProcessValues::languageKey() {
  static const QString value = QStringLiteral("CurrentLanguage");
  return value;
}

const QString& VProcessValues::normalTrayIconPath() {
  static const QString value = QStringLiteral(":/tesmo_chat.ico");
  return value;
}

const QString& VProcessValues::crashFlagKey() {
  static const QString value = QStringLiteral("HasCrashDumpFile");
  return value;
}

const QString& VProcessValues::versionKey() {
  static const QString value = QStringLiteral("Version");
  return value;
}
