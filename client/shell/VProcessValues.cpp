#include "shell/VProcessValues.h"

const QString& VProcessValues::languageKey() {
  static const QString value = QStringLiteral("CurrentLanguage");
  return value;
}

const QString& VProcessValues::normalTrayIconPath() {
  static const QString value = QStringLiteral(":/tesmo_chat.ico");
  return value;
}

const QString& VProcessValues::transparentTrayIconPath() {
  static const QString value = QStringLiteral(":/images/tesmo_chat_transparent.ico");
  return value;
}

QString& VProcessValues::currentTrayIconPath() {
  static QString value = normalTrayIconPath();
  return value;
}

QString& VProcessValues::lastMentionAccount() {
  static QString value;
  return value;
}

const QString& VProcessValues::captureImageSuffix() {
  static const QString value = QStringLiteral("jpg");
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

QImage& VProcessValues::captureImage() {
  static QImage value;
  return value;
}

QImage& VProcessValues::captureWorkImage() {
  static QImage value;
  return value;
}
