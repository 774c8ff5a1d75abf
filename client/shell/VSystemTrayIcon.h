#ifndef TESMO_CLIENT_SHELL_VSYSTEMTRAYICON_H
#define TESMO_CLIENT_SHELL_VSYSTEMTRAYICON_H

#include <QQuickItem>
#include <QSystemTrayIcon>
#include <QUrl>

#include "shell/VMenu.h"

class QTimer;

// The program's icon in the system tray, declared in QML: a context menu,
// blinking while messages wait and the window is inactive, and balloons for
// mentions.
class VSystemTrayIcon : public QQuickItem {
  Q_OBJECT
  Q_PROPERTY(int x READ x CONSTANT)
  Q_PROPERTY(int y READ y CONSTANT)
  Q_PROPERTY(QUrl icon READ icon WRITE setIcon NOTIFY iconChanged)
  Q_PROPERTY(QString toolTip READ toolTip WRITE setToolTip NOTIFY toolTipChanged)
  Q_PROPERTY(VMenu* menu READ menu WRITE setMenu NOTIFY menuChanged)
  // Without a tray host the icon cannot bring a hidden window back.
  Q_PROPERTY(bool available READ available CONSTANT)

 public:
  explicit VSystemTrayIcon(QQuickItem* parent = nullptr);

  int x() const;
  int y() const;
  QUrl icon() const { return m_icon; }
  QString toolTip() const { return m_toolTip; }
  VMenu* menu() const { return m_menu; }
  bool available() const;

  static const QString& normalIconPath();
  static const QString& blankIconPath();
  // The icon the tray shows now (normal or blank) and the last mention's account.
  static QString currentIconPath();
  static QString lastAtAccount();

  QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
  bool isFlashing() const;

 signals:
  void trigger();
  void iconChanged();
  void toolTipChanged();
  void menuChanged();

 public slots:
  void setIcon(const QUrl& icon);
  void setToolTip(const QString& toolTip);
  void setMenu(VMenu* menu);
  void onVisibleChanged();
  void onActivated(QSystemTrayIcon::ActivationReason reason);
  void onExit();
  void showMessage(const QString& title, const QString& message, int duration = 2000,
                   int messageIcon = 0);
  void showAtMessage(const QString& title, const QString& message, const QString& account,
                     int duration = 2000, int messageIcon = 0);
  void messagesReceivedAlert();
  void flashing();
  void messagesReceivedAlertMac();
  void afterMessageClicked();

 private:
  void showIconPath(const QString& path);

  QSystemTrayIcon* m_trayIcon;
  VMenu* m_menu = nullptr;
  QString m_toolTip;
  QUrl m_icon;
  QTimer* m_flashTimer;
};

// The text of an icon URL as QIcon takes it: a local file, or a resource path.
QString VIconPathFromUrl(const QUrl& url);

#endif
