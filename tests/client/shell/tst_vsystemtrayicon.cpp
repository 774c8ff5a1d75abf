// The tray icon and its menu: activation, icons, balloons and the blinking
// that waits for a window of the program to become active.
#include <QMenu>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QtTest>

#include "shell/VAction.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VMenu.h"
#include "shell/VSeparator.h"
#include "shell/VSystemTrayIcon.h"
#include "support/ClientTestMain.h"

class TestVSystemTrayIcon : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    qmlRegisterType<VMenu>("VSystemTrayIcon", 1, 0, "VMenu");
    qmlRegisterType<VAction>("VSystemTrayIcon", 1, 0, "VAction");
    qmlRegisterType<VSeparator>("VSystemTrayIcon", 1, 0, "VSeparator");
    qmlRegisterType<VSystemTrayIcon>("VSystemTrayIcon", 1, 0, "VSystemTrayIcon");
  }

  void activation_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<int>("triggers");
    QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << 1;
    QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << 1;
    QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << 0;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << 0;
  }

  void activation() {
    QFETCH(int, reason);
    QFETCH(int, triggers);
    VSystemTrayIcon tray;
    QSignalSpy spy(&tray, &VSystemTrayIcon::trigger);
    tray.onActivated(QSystemTrayIcon::ActivationReason(reason));
    QCOMPARE(spy.count(), triggers);
  }

  void iconAndVisibility() {
    VSystemTrayIcon tray;
    QVERIFY(!tray.isVisible());
    QVERIFY(!tray.trayIcon()->isVisible());
    QSignalSpy spy(&tray, &VSystemTrayIcon::iconChanged);
    tray.setIcon(QUrl(QStringLiteral("qrc:/tesmo_chat.ico")));
    tray.setIcon(QUrl(QStringLiteral("qrc:/tesmo_chat.ico")));
    QCOMPARE(spy.count(), 1);
    QVERIFY(!tray.trayIcon()->icon().isNull());
    QCOMPARE(VIconPathFromUrl(QUrl(QStringLiteral("qrc:/tesmo_chat.ico"))),
             QStringLiteral(":/tesmo_chat.ico"));
    QCOMPARE(VIconPathFromUrl(QUrl::fromLocalFile(QStringLiteral("/tmp/a b.png"))),
             QStringLiteral("/tmp/a b.png"));
    QSignalSpy tips(&tray, &VSystemTrayIcon::toolTipChanged);
    tray.setToolTip(QStringLiteral("Tesmo"));
    tray.setToolTip(QStringLiteral("Tesmo"));
    QCOMPARE(tips.count(), 1);
    QCOMPARE(tray.trayIcon()->toolTip(), QStringLiteral("Tesmo"));
  }

  // The balloon's account decides what a click on it opens.
  void balloons() {
    VSystemTrayIcon tray;
    QSignalSpy clicked(VGlobal::instance(), &VGlobal::messageAtMeClicked);
    VConfig::instance()->setDesktopNotificationVisible(true);
    emit VGlobal::instance()->showDesktopAtMessage("title", "text", "group-7", 2000, 0);
    QCOMPARE(VSystemTrayIcon::lastAtAccount(), QStringLiteral("group-7"));
    tray.afterMessageClicked();
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toString(), QStringLiteral("group-7"));

    VConfig::instance()->setDesktopNotificationVisible(false);
    tray.showAtMessage("title", "text", "group-8");
    QCOMPARE(VSystemTrayIcon::lastAtAccount(), QStringLiteral("group-7"));

    VConfig::instance()->setDesktopNotificationVisible(true);
    tray.showMessage("title", "plain");
    QCOMPARE(VSystemTrayIcon::lastAtAccount(), QString());
    tray.afterMessageClicked();
    QCOMPARE(clicked.count(), 1);
  }

  void blinksUntilActive() {
    VSystemTrayIcon tray;
    VGlobal::instance()->setActive(false);
    tray.flashing();
    QVERIFY(tray.isFlashing());
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::blankIconPath());
    tray.flashing();
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::normalIconPath());
    tray.flashing();
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::blankIconPath());
    VGlobal::instance()->setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(!tray.isFlashing(), 10000);
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::normalIconPath());
  }

  // A message for a chat not on screen blinks the tray on every desktop while no
  // window of the program is active, and not past the first tick while one is.
  void newMessageBlinksTheTray() {
    VSystemTrayIcon tray;
    VGlobal::instance()->setActive(false);
    emit VGlobal::instance()->messagesReceivedAlert();
    QVERIFY(tray.isFlashing());
    QTRY_COMPARE_WITH_TIMEOUT(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::blankIconPath(),
                              10000);
    QVERIFY(tray.isFlashing());
    VGlobal::instance()->setActive(true);
    QTRY_VERIFY_WITH_TIMEOUT(!tray.isFlashing(), 10000);
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::normalIconPath());

    emit VGlobal::instance()->messagesReceivedAlert();
    QTRY_VERIFY_WITH_TIMEOUT(!tray.isFlashing(), 10000);
    QCOMPARE(VSystemTrayIcon::currentIconPath(), VSystemTrayIcon::normalIconPath());
  }

  void menuFromQml() {
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(
        "import VSystemTrayIcon 1.0\n"
        "VSystemTrayIcon { visible: true; menu: VMenu {\n"
        "  VAction { text: \"Restore\" } VSeparator {}\n"
        "  VMenu { objectName: \"VMenu\"; VAction { text: \"Inner\" } }\n"
        "  VAction { text: \"Quit\" } } }",
        QUrl());
    QScopedPointer<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));
    auto* tray = qobject_cast<VSystemTrayIcon*>(object.data());
    QVERIFY(tray->isVisible());
    QVERIFY(tray->menu());
    QMenu* menu = tray->menu()->menu();
    QCOMPARE(tray->trayIcon()->contextMenu(), menu);
    const QList<QAction*> actions = menu->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Restore"));
    QVERIFY(actions.at(1)->isSeparator());
    QVERIFY(actions.at(2)->menu());
    QCOMPARE(actions.at(2)->menu()->actions().at(0)->text(), QStringLiteral("Inner"));
    QCOMPARE(actions.at(3)->text(), QStringLiteral("Quit"));
    tray->menu()->setWidth(120);
    QCOMPARE(menu->width(), 120);
  }
};

TESMO_CLIENT_TEST_MAIN(TestVSystemTrayIcon)
#include "tst_vsystemtrayicon.moc"
