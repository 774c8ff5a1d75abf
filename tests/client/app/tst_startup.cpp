// Start-up and the manager bootstrap against the engine test double: what QML
// sees before and after login, the stored language, the first window and exit.
#include <QFontDatabase>
#include <QFontInfo>
#include <QPointer>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ImCreateClassManager.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupAdminManager.h"
#include "contacts/ImGroupChildManager.h"
#include "contacts/ImGroupManager.h"
#include "contacts/ImGroupMemberManager.h"
#include "contacts/ImSearchUserManager.h"
#include "conversations/ImCurrencyManager.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/VClipboard.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "shell/VTranslator.h"
#include "support/ClientTestMain.h"

namespace {
const QStringList kStartupNames = {"classManager", "imLoginManager", "vConfig",
                                   "vTranslator",  "vGlobal",        "vClipboard"};
const QStringList kPostLoginNames = {
    "contactsManager",     "sessionListManager", "sessionManager",
    "groupManager",        "groupAdminManager",  "groupMemberManager",
    "atSearchUserManager", "groupChildManager",  "currencyManager"};

QObject* Published(QQmlEngine& engine, const QString& name) {
  return engine.rootContext()->contextProperty(name).value<QObject*>();
}

// What QML itself reads under the name, as a page would.
QObject* SeenByQml(QQmlEngine& engine, const QString& name) {
  QQmlExpression expression(engine.rootContext(), nullptr,
                            QStringLiteral("typeof %1 === 'undefined' ? null : %1").arg(name));
  return expression.evaluate().value<QObject*>();
}

QString WriteQml(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) return QString();
  return path;
}
}  // namespace

class TestStartup : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;

 private slots:
  void initTestCase() { QVERIFY(m_dir.isValid()); }

  void applicationFontAndWindows() {
    QFont font;
    VStartup::setupApplication(font);
    const QString expected = QFontDatabase().families().contains(VStartup::preferredFontFamily())
                                 ? VStartup::preferredFontFamily()
                                 : VStartup::fallbackFontFamily();
    QCOMPARE(QApplication::font().family(), expected);
    QCOMPARE(QApplication::font().pointSize(), 12);
    QCOMPARE(QApplication::font().weight(), int(QFont::Normal));
    // The family is really installed, not only asked for.
    QCOMPARE(QFontInfo(QApplication::font()).family(), expected);
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Tesmo"));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tesmo Chat"));
  }

  // The window icon comes from the tray icon's file once the first shown window
  // has drawn, not while the window is being made; with no window drawing, a
  // second later.
  void windowIconFollowsTheFirstFrame_data() {
    QTest::addColumn<bool>("withWindow");
    QTest::newRow("a window draws") << true;
    QTest::newRow("no window") << false;
  }

  void windowIconFollowsTheFirstFrame() {
    QFETCH(bool, withWindow);
    QApplication::setWindowIcon(QIcon());
    QQuickWindow window;
    if (withWindow) {
      window.resize(100, 100);
      window.show();
    }
    // With a window the fallback lies far beyond the test: only its frame can set it.
    const int latestMs = withWindow ? 600000 : 300;
    QElapsedTimer clock;
    clock.start();
    VStartup::setWindowIconAfterFirstFrame(latestMs);
    QVERIFY(QApplication::windowIcon().isNull());
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::windowIcon().isNull(), 20000);
    if (!withWindow) QVERIFY(clock.elapsed() >= latestMs - 50);
    // Every picture of the icon file, the largest included.
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(256, 256)));
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(16, 16)));
    // Set once: later frames do not set it again.
    QApplication::setWindowIcon(QIcon());
    if (withWindow) {
      window.update();
      QTest::qWait(300);
    } else {
      QTest::qWait(latestMs + 200);
    }
    QVERIFY(QApplication::windowIcon().isNull());
  }

  // Before login QML sees exactly the start-up objects; after createPostClass the
  // nine managers too, and a second call publishes the same objects.
  void contextPropertiesBeforeAndAfterLogin() {
    EngineDouble::Reset();
    QQmlEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QVERIFY(EngineDouble::IsRunning());

    const QList<QObject*> startup = {classManager.data(), ImLoginManager::instance(),
                                     VConfig::instance(), VTranslator::instance(),
                                     VGlobal::instance(), VClipboard::instance()};
    for (int i = 0; i < kStartupNames.size(); ++i) {
      QCOMPARE(Published(engine, kStartupNames[i]), startup[i]);
      QCOMPARE(SeenByQml(engine, kStartupNames[i]), startup[i]);
    }
    for (const QString& name : kPostLoginNames) {
      QVERIFY2(!engine.rootContext()->contextProperty(name).isValid(), qPrintable(name));
      QCOMPARE(SeenByQml(engine, name), nullptr);
    }

    // The login page calls it from QML.
    QQmlExpression(engine.rootContext(), nullptr, "classManager.createPostClass()").evaluate();
    const QList<QObject*> managers = {
        ImContactsManager::instance(),   ImSessionListManager::instance(),
        ImSessionManager::instance(),    ImGroupManager::instance(),
        ImGroupAdminManager::instance(), ImGroupMemberManager::instance(),
        ImSearchUserManager::instance(), ImGroupChildManager::instance(),
        ImCurrencyManager::instance()};
    for (int i = 0; i < kPostLoginNames.size(); ++i) {
      QVERIFY(managers[i]);
      QCOMPARE(Published(engine, kPostLoginNames[i]), managers[i]);
      QCOMPARE(SeenByQml(engine, kPostLoginNames[i]), managers[i]);
    }
    // Nine different objects.
    QCOMPARE(QSet<QObject*>(managers.begin(), managers.end()).size(), 9);

    classManager->createPostClass();
    for (int i = 0; i < kPostLoginNames.size(); ++i)
      QCOMPARE(Published(engine, kPostLoginNames[i]), managers[i]);
    for (int i = 0; i < kStartupNames.size(); ++i)
      QCOMPARE(Published(engine, kStartupNames[i]), startup[i]);
  }

  void sessionListCompletionRefreshesGroupMemberCounts() {
    QQmlEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QSignalSpy spy(ImGroupManager::instance(), &ImGroupManager::memberCountChanged);
    emit ImSessionListManager::instance()->dataComplete();
    emit ImSessionListManager::instance()->dataComplete();
    QCOMPARE(spy.count(), 2);
  }

  void storedLanguageIsApplied_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("english") << QVariant(0) << 0;
    QTest::newRow("traditional chinese") << QVariant(2) << 2;
    QTest::newRow("korean as text") << QVariant("3") << 3;
    QTest::newRow("nothing stored") << QVariant() << 1;
    QTest::newRow("english again") << QVariant(0) << 0;
    QTest::newRow("beyond the four") << QVariant(7) << 1;
    QTest::newRow("negative") << QVariant(-1) << 1;
    QTest::newRow("not a number") << QVariant("korean") << 1;
  }

  void storedLanguageIsApplied() {
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    VConfig::instance()->setValue("LastloginAccount", "language");
    {
      QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
      if (stored.isValid())
        raw.setValue("language/CurrentLanguage", stored);
      else
        raw.remove("language/CurrentLanguage");
    }
    QQmlEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QCOMPARE(int(VTranslator::instance()->language()), expected);
  }

  void qmlTypesAreRegistered() {
    QQmlEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QQmlComponent component(&engine);
    component.setData(R"(
      import QtQuick 2.12
      import VTranslator 1.0
      import VGlobal 1.0
      import VSystemTrayIcon 1.0
      import VFileSaveDialog 1.0
      import VScreenImage 1.0
      import QZXing 2.3
      Item {
        property int language: VLanguage.KO_KR
        property int state: VConnectionState.CONNECTING
        property int sound: VSound.NETWORKCONNECTED
        property var made: [menu, action, separator, tray, saver, screen, zxing]
        VMenu { id: menu }
        VSystemTrayIcon { id: tray }
        VFileSaveDialog { id: saver }
        VScreenImage { id: screen }
        property VAction action: VAction {}
        property QtObject separator: VSeparator {}
        property QtObject zxing: QZXing {}
      })",
                      QUrl("qrc:/test/types.qml"));
    QScopedPointer<QObject> item(component.create());
    QVERIFY2(item, qPrintable(component.errorString()));
    QCOMPARE(item->property("language").toInt(), 3);
    QCOMPARE(item->property("state").toInt(), 2);
    QCOMPARE(item->property("sound").toInt(), 2);
    const QVariantList made = item->property("made").toList();
    QCOMPARE(made.size(), 7);
    for (const QVariant& object : made) QVERIFY(object.value<QObject*>());
  }

  void missingOrBrokenFirstWindowReturnsMinusOne_data() {
    QTest::addColumn<QString>("url");
    QTest::newRow("missing resource") << "qrc:/qml/NoSuchPage.qml";
    QTest::newRow("missing file") << QUrl::fromLocalFile(m_dir.filePath("none.qml")).toString();
    QTest::newRow("syntax error") << QUrl::fromLocalFile(WriteQml(m_dir, "broken.qml",
                                                                  "import QtQuick 2.12\nItem {"))
                                         .toString();
  }

  void missingOrBrokenFirstWindowReturnsMinusOne() {
    QFETCH(QString, url);
    QQmlApplicationEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QCOMPARE(VStartup::exec(engine, QUrl(url)), -1);
  }

  void firstWindowLoadsAndTheLoopReturnsItsCode() {
    const QString path = WriteQml(m_dir, "exits.qml",
                                  "import QtQuick 2.12\n"
                                  "QtObject { Component.onCompleted: Qt.exit(7) }\n");
    QQmlApplicationEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    QCOMPARE(VStartup::exec(engine, QUrl::fromLocalFile(path)), 7);
    // The program's own first window loads with its objects in place.
    QQmlApplicationEngine program;
    QSharedPointer<ImCreateClassManager> programManager = VStartup::setupEngine(program);
    QVERIFY(VStartup::loadFirstWindow(program, VStartup::firstWindow()));
  }

  // Exit: the engine stops first, then the bootstrap goes, then every singleton
  // once while the application still exists.
  void shutdownStopsTheEngineAndDeletesEachManagerOnce() {
    QPointer<ImCreateClassManager> bootstrap;
    QList<QPointer<QObject>> singletons;
    {
      QQmlEngine engine;
      QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
      classManager->createPostClass();
      bootstrap = classManager.data();
      for (const QString& name : kStartupNames + kPostLoginNames)
        if (name != QLatin1String("classManager")) singletons.append(Published(engine, name));
      QVERIFY(EngineDouble::IsRunning());
      VStartup::shutdown(classManager);
      QVERIFY(!classManager);
      QVERIFY(!EngineDouble::IsRunning());
    }
    QVERIFY(!bootstrap);
    for (const QPointer<QObject>& object : singletons) QVERIFY(object);
    // Nothing deferred may touch them twice.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    VExitCleanup::runAll();
    for (const QPointer<QObject>& object : singletons) QVERIFY(!object);
    VExitCleanup::runAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

TESMO_CLIENT_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
