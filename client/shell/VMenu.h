#ifndef TESMO_CLIENT_SHELL_VMENU_H
#define TESMO_CLIENT_SHELL_VMENU_H

#include <QQuickItem>

class QMenu;

// A native pop-up menu declared in QML (the tray icon's menu).
class VMenu : public QQuickItem {
  Q_OBJECT

 public:
  explicit VMenu(QQuickItem* parent = nullptr);
  ~VMenu() override;

  QMenu* menu() const { return m_menu; }

 private:
  QMenu* m_menu;
};

#endif
