#include "shell/VSystemTrayIcon.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QTimer>

#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VMenu.h"

namespace {
constexpr int kFirstFlashMs = 400;
constexpr int kFlashMs = 500;

QString& CurrentIcon() {
  static QString path = VSystemTrayIcon::normalIconPath();
  return path;
}

QString& LastAtAccount() {
  static QString account;
  return account;
}
}  // namespace

QString VIconPathFromUrl(const QUrl& url) {
  QString text = url.toLocalFile();
  if (text.isEmpty()) text = url.toString();
  if (text.startsWith(QLatin1String("qrc"))) text.remove(0, 3);
  return text;
}

VSystemTrayIcon::VSystemTrayIcon(QQuickItem* parent)
    : QQuickItem(parent), m_trayIcon(new QSystemTrayIcon(this)), m_flashTimer(new QTimer(this)) {
  connect(m_trayIcon, &QSystemTrayIcon::activated, this, &VSystemTrayIcon::onActivated);
  connect(m_trayIcon, &QSystemTrayIcon::messageClicked, this,
          &VSystemTrayIcon::afterMessageClicked);
  connect(this, &QQuickItem::visibleChanged, this, &VSystemTrayIcon::onVisibleChanged);
  VGlobal* global = VGlobal::instance();
  connect(global, &VGlobal::messagesReceivedAlert, this, &VSystemTrayIcon::messagesReceivedAlert);
  connect(global, &VGlobal::showDesktopAtMessage, this, &VSystemTrayIcon::showAtMessage);
  connect(m_flashTimer, &QTimer::timeout, this, &VSystemTrayIcon::flashing);
  setVisible(false);
}

int VSystemTrayIcon::x() const { return m_trayIcon->geometry().x(); }
int VSystemTrayIcon::y() const { return m_trayIcon->geometry().y(); }
bool VSystemTrayIcon::available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }
bool VSystemTrayIcon::isFlashing() const { return m_flashTimer->isActive(); }

const QString& VSystemTrayIcon::normalIconPath() {
  static const QString path = QStringLiteral(":/tesmo_chat.ico");
  return path;
}

const QString& VSystemTrayIcon::blankIconPath() {
  static const QString path = QStringLiteral(":/images/tesmo_chat_transparent.ico");
  return path;
}

QString VSystemTrayIcon::currentIconPath() { return CurrentIcon(); }
QString VSystemTrayIcon::lastAtAccount() { return LastAtAccount(); }

void VSystemTrayIcon::setIcon(const QUrl& icon) {
  if (icon == m_icon) return;
  m_trayIcon->setIcon(QIcon(VIconPathFromUrl(icon)));
  m_icon = icon;
  emit iconChanged();
}

void VSystemTrayIcon::setToolTip(const QString& toolTip) {
  if (toolTip == m_toolTip) return;
  m_trayIcon->setToolTip(toolTip);
  m_toolTip = toolTip;
  emit toolTipChanged();
}

void VSystemTrayIcon::setMenu(VMenu* menu) {
  if (menu == m_menu) return;
  m_menu = menu;
  m_trayIcon->setContextMenu(menu ? menu->menu() : nullptr);
  emit menuChanged();
}

void VSystemTrayIcon::onVisibleChanged() { m_trayIcon->setVisible(isVisible()); }

void VSystemTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) emit trigger();
}

void VSystemTrayIcon::onExit() {
  m_trayIcon->hide();
  QCoreApplication::exit(0);
}

void VSystemTrayIcon::showMessage(const QString& title, const QString& message, int duration,
                                  int messageIcon) {
  showAtMessage(title, message, QString(), duration, messageIcon);
}

void VSystemTrayIcon::showAtMessage(const QString& title, const QString& message,
                                    const QString& account, int duration, int messageIcon) {
  if (!VConfig::instance()->desktopNotificationVisible()) return;
  LastAtAccount() = account;
  if (messageIcon == 0)
    m_trayIcon->showMessage(title, message, m_trayIcon->icon(), duration);
  else
    m_trayIcon->showMessage(title, message, QSystemTrayIcon::MessageIcon(messageIcon), duration);
}

void VSystemTrayIcon::afterMessageClicked() {
  if (!LastAtAccount().isEmpty()) emit VGlobal::instance()->messageAtMeClicked(LastAtAccount());
}

// Every desktop with a tray shows the blinking; the first tick stops it at once
// while a window of the program is active.
void VSystemTrayIcon::messagesReceivedAlert() { m_flashTimer->start(kFirstFlashMs); }

void VSystemTrayIcon::messagesReceivedAlertMac() {}

void VSystemTrayIcon::showIconPath(const QString& path) {
  m_trayIcon->setIcon(QIcon(path));
  CurrentIcon() = path;
}

void VSystemTrayIcon::flashing() {
  if (VGlobal::instance()->active()) {
    m_flashTimer->stop();
    showIconPath(normalIconPath());
    return;
  }
  showIconPath(CurrentIcon() == normalIconPath() ? blankIconPath() : normalIconPath());
  m_flashTimer->start(kFlashMs);
}
