#include "shell/VAction.h"

#include <QIcon>

#include "shell/VSystemTrayIcon.h"

VAction::VAction(QObject* parent) : QAction(parent) { setObjectName(QStringLiteral("VAction")); }

void VAction::setIcon(const QUrl& icon) {
  if (icon == m_icon) return;
  QAction::setIcon(QIcon(VIconPathFromUrl(icon)));
  m_icon = icon;
  emit iconChanged();
}
