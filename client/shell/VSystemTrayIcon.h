#ifndef TESMO_CLIENT_SHELL_VSYSTEMTRAYICON_H
#define TESMO_CLIENT_SHELL_VSYSTEMTRAYICON_H

#include <QQuickItem>

class QSystemTrayIcon;

// The program's icon in the system tray, declared in QML.
class VSystemTrayIcon : public QQuickItem {
  Q_OBJECT

 public:
  explicit VSystemTrayIcon(QQuickItem* parent = nullptr);

 private:
  QSystemTrayIcon* m_trayIcon;
};

#endif
