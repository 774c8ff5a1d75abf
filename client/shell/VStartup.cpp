#include "shell/VStartup.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml>
#include <memory>

#include "shell/ImCreateClassManager.h"
#include "shell/ImUiInterface.h"
#include "shell/QZXing.h"
#include "shell/VAction.h"
#include "shell/VClipboard.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VFileSaveDialog.h"
#include "shell/VFocusReturn.h"
#include "shell/VGlobal.h"
#include "shell/VMentionedNameImageProvider.h"
#include "shell/VMenu.h"
#include "shell/VProcessValues.h"
#include "shell/VScreenImage.h"
#include "shell/VSeparator.h"
#include "shell/VSystemTrayIcon.h"
#include "shell/VTranslator.h"

const QUrl& VStartup::firstWindow() {
  static const QUrl url(QStringLiteral("qrc:/qml/VSplashPage.qml"));
  return url;
}

const QString& VStartup::preferredFontFamily() {
  static const QString family = QStringLiteral("Microsoft YaHei");
  return family;
}

const QString& VStartup::fallbackFontFamily() {
  // Covers simplified and traditional Chinese and Hangul on Debian.
  static const QString family = QStringLiteral("WenQuanYi Micro Hei");
  return family;
}

void VStartup::setProcessAttributes() {
  QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
  QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL, true);
  QCoreApplication::setOrganizationName(QStringLiteral("Tesmo"));
  QCoreApplication::setOrganizationDomain(QStringLiteral("tesmochat.com"));
  QCoreApplication::setApplicationName(QStringLiteral("Tesmo Chat"));
}

void VStartup::setupApplication(QFont& font) {
  font = QApplication::font();
  const bool preferred = QFontDatabase().families().contains(preferredFontFamily());
  font.setFamily(preferred ? preferredFontFamily() : fallbackFontFamily());
  font.setPointSize(12);
  font.setWeight(QFont::Normal);
  QApplication::setFont(font);
  qDebug() << "Current Font Family: " << QApplication::font().family();
  // Closing the last window keeps the program in the tray; the tray menu ends it.
  QGuiApplication::setQuitOnLastWindowClosed(false);
  // The keyboard goes back to the window a closed popup or dialog belongs to.
  if (!qApp->findChild<VFocusReturn*>(QString(), Qt::FindDirectChildrenOnly))
    new VFocusReturn(qApp);
}

void VStartup::setWindowIcon() {
  QApplication::setWindowIcon(QIcon(VProcessValues::normalTrayIconPath()));
}

void VStartup::setWindowIconAfterFirstFrame(int latestMs) {
  auto* pending = new QObject(QCoreApplication::instance());
  auto applied = std::make_shared<bool>(false);
  auto apply = [pending, applied] {
    if (*applied) return;
    *applied = true;
    setWindowIcon();
    pending->deleteLater();
  };
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    auto* quick = qobject_cast<QQuickWindow*>(window);
    // frameSwapped comes from the render thread: handled on this one.
    if (quick && quick->isVisible())
      QObject::connect(quick, &QQuickWindow::frameSwapped, pending, apply, Qt::QueuedConnection);
  }
  // A window that never draws (hidden, or no window at all) still gets it.
  QTimer::singleShot(latestMs, pending, apply);
}

QSharedPointer<ImCreateClassManager> VStartup::setupEngine(QQmlEngine& engine) {
  QZXing::registerQMLTypes();
  QZXing::registerQMLImageProvider(engine);

  QQmlContext* context = engine.rootContext();
  QSharedPointer<ImCreateClassManager> classManager(new ImCreateClassManager(context));
  classManager->initPreClass();

  engine.addImageProvider(QStringLiteral("mentionedName"), new VMentionedNameImageProvider);

  context->setContextProperty(QStringLiteral("vConfig"), VConfig::instance());
  context->setContextProperty(QStringLiteral("vTranslator"), VTranslator::instance());
  context->setContextProperty(QStringLiteral("vGlobal"), VGlobal::instance());
  context->setContextProperty(QStringLiteral("vClipboard"), VClipboard::instance());

  // A stored value that names none of the four languages counts as none stored.
  bool isNumber = false;
  int language = VConfig::instance()
                     ->value(VProcessValues::languageKey(), int(VTranslator::ZH_CN))
                     .toInt(&isNumber);
  if (!isNumber || !VTranslator::isLanguage(language)) language = VTranslator::ZH_CN;
  VTranslator::instance()->setCurrentLanguage(static_cast<VTranslator::VLanguage>(language));

  registerQmlTypes();
  return classManager;
}

void VStartup::registerQmlTypes() {
  qmlRegisterType<VTranslator>("VTranslator", 1, 0, "VLanguage");
  qmlRegisterType<VGlobal>("VGlobal", 1, 0, "VConnectionState");
  qmlRegisterType<VGlobal>("VGlobal", 1, 0, "VSound");
  qmlRegisterType<VMenu>("VSystemTrayIcon", 1, 0, "VMenu");
  qmlRegisterType<VAction>("VSystemTrayIcon", 1, 0, "VAction");
  qmlRegisterType<VSeparator>("VSystemTrayIcon", 1, 0, "VSeparator");
  qmlRegisterType<VSystemTrayIcon>("VSystemTrayIcon", 1, 0, "VSystemTrayIcon");
  qmlRegisterType<VFileSaveDialog>("VFileSaveDialog", 1, 0, "VFileSaveDialog");
  qmlRegisterType<VScreenImage>("VScreenImage", 1, 0, "VScreenImage");
}

bool VStartup::loadFirstWindow(QQmlApplicationEngine& engine, const QUrl& url) {
  engine.load(url);
  return !engine.rootObjects().isEmpty();
}

int VStartup::exec(QQmlApplicationEngine& engine, const QUrl& url) {
  if (!loadFirstWindow(engine, url)) return -1;
  setWindowIconAfterFirstFrame();
  return QApplication::exec();
}

void VStartup::shutdown(QSharedPointer<ImCreateClassManager>& classManager) {
  ImUiInterface::instance()->releaseInterface();
  classManager.reset();
}

void VStartup::finish() {
  VExitCleanup::runAll();
  VConfig::flush();
}
