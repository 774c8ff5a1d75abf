#include "shell/VSystemTrayIcon.h"

#include <QSystemTrayIcon>

VSystemTrayIcon::VSystemTrayIcon(QQuickItem* parent)
    : QQuickItem(parent), m_trayIcon(new QSystemTrayIcon(this)) {}
