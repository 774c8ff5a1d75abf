#ifndef TESMO_CLIENT_SHELL_VPROCESSVALUES_H
#define TESMO_CLIENT_SHELL_VPROCESSVALUES_H

#include <QImage>
#include <QString>

// The process-wide values shared by start-up, the tray icon, the screen capture,
// languages and crash dumps. Each is made on first use and lives until exit; the
// changeable ones are touched from the main thread only.
class VProcessValues {
 public:
  static const QString& languageKey();
  static const QString& normalTrayIconPath();
  static const QString& transparentTrayIconPath();
  static QString& currentTrayIconPath();
  // The account of the last mention notice the tray icon showed.
  static QString& lastMentionAccount();
  static const QString& captureImageSuffix();
  static const QString& crashFlagKey();
  static const QString& versionKey();
  // The grabbed screen and its working copy.
  static QImage& captureImage();
  static QImage& captureWorkImage();
};

#endif
