#ifndef TESMO_CLIENT_SHELL_VMENU_H
#define TESMO_CLIENT_SHELL_VMENU_H

#include <QQuickItem>

class QMenu;
class VAction;

// A native pop-up menu declared in QML (the tray icon's menu): its VAction,
// VSeparator and VMenu children become the entries, in order.
class VMenu : public QQuickItem {
  Q_OBJECT
  Q_PROPERTY(int width READ menuWidth WRITE setWidth NOTIFY widthChanged)
  Q_PROPERTY(int height READ menuHeight WRITE setHeight NOTIFY heightChanged)

 public:
  explicit VMenu(QQuickItem* parent = nullptr);
  ~VMenu() override;

  QMenu* menu() const { return m_menu; }
  int menuWidth() const;
  int menuHeight() const;

 signals:
  void widthChanged();
  void heightChanged();

 public slots:
  void setWidth(int width);
  void setHeight(int height);
  void addSeparator();
  void addAction(VAction* action);
  void addMenu(VMenu* menu);

 protected:
  void componentComplete() override;

 private:
  QMenu* m_menu;
};

#endif
