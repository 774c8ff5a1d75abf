#include "shell/VMenu.h"

#include <QMenu>

VMenu::VMenu(QQuickItem* parent) : QQuickItem(parent), m_menu(new QMenu) {
  setObjectName(QStringLiteral("VMenu"));
}

VMenu::~VMenu() { delete m_menu; }
