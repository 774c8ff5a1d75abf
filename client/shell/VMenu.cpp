#include "shell/VMenu.h"

#include <QMenu>

#include "shell/VAction.h"

VMenu::VMenu(QQuickItem* parent) : QQuickItem(parent), m_menu(new QMenu) {
  setObjectName(QStringLiteral("VMenu"));
  m_menu->setStyleSheet(QStringLiteral("QMenu::item{color: rgb(51, 51, 51);}"));
}

VMenu::~VMenu() { delete m_menu; }

int VMenu::menuWidth() const { return m_menu->width(); }
int VMenu::menuHeight() const { return m_menu->height(); }

void VMenu::setWidth(int width) {
  if (width == m_menu->width()) return;
  m_menu->setFixedWidth(width);
  emit widthChanged();
}

void VMenu::setHeight(int height) {
  if (height == m_menu->height()) return;
  m_menu->setFixedHeight(height);
  emit heightChanged();
}

void VMenu::addSeparator() { m_menu->addSeparator(); }

void VMenu::addAction(VAction* action) {
  if (action) m_menu->addAction(action);
}

void VMenu::addMenu(VMenu* menu) {
  if (menu && menu != this) m_menu->addMenu(menu->menu());
}

void VMenu::componentComplete() {
  QQuickItem::componentComplete();
  for (QObject* child : children()) {
    const QString name = child->objectName();
    if (name == QLatin1String("VAction"))
      addAction(qobject_cast<VAction*>(child));
    else if (name == QLatin1String("VSeparator"))
      addSeparator();
    else if (name == QLatin1String("VMenu"))
      addMenu(qobject_cast<VMenu*>(child));
  }
}
