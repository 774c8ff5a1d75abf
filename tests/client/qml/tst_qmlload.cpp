// Every QML file of the program's resources loads offscreen with the program's
// context properties, types and image providers in place; any QML warning or
// error while it is made, settles and goes away fails its row. Windows stand on
// their own; items and popups are made inside a host item, with a context that
// offers delegates a stub model row.
#include <QDirIterator>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QQmlPropertyMap>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QtTest>
#include <QtWebEngine>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"

namespace {
QMutex g_mutex;
QStringList g_problems;
QtMessageHandler g_previousHandler = nullptr;

void Note(const QString& text) {
  QMutexLocker locker(&g_mutex);
  g_problems.append(text);
}

QStringList TakeProblems() {
  QMutexLocker locker(&g_mutex);
  QStringList taken;
  taken.swap(g_problems);
  return taken;
}

// Messages of the QML and JavaScript categories (console.warn, binding errors).
void CaptureQmlMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QByteArray category = context.category ? QByteArray(context.category) : QByteArray();
  const bool fromQml = category == "qml" || category == "js" || category.startsWith("qt.qml");
  if (type != QtDebugMsg && type != QtInfoMsg && fromQml)
    Note(QStringLiteral("[%1] %2").arg(QString::fromLatin1(category), text));
  if (g_previousHandler) g_previousHandler(type, context, text);
}

// Dialogs that the main window asks for, whose files the program does not ship
// yet: asking for one shows nothing.
const QStringList kNotShippedYet = {QStringLiteral("VGroupsInCommonPopupWindow.qml")};

QStringList ResourceQmlFiles() {
  QStringList files;
  QDirIterator it(QStringLiteral(":/qml"), {QStringLiteral("*.qml")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files << QStringLiteral("qrc") + it.next();
  files.sort();
  return files;
}
}  // namespace

class TestQmlLoad : public QObject {
  Q_OBJECT

  QScopedPointer<QQmlEngine> m_engine;
  QSharedPointer<ImCreateClassManager> m_classManager;
  QScopedPointer<QQuickWindow> m_host;
  QScopedPointer<QQmlContext> m_hostContext;
  QQmlPropertyMap m_stubRow;

  // Puts a new item or popup into the host before its bindings first run.
  void adopt(QObject* object) {
    if (auto* item = qobject_cast<QQuickItem*>(object)) {
      item->setParentItem(m_host->contentItem());
      return;
    }
    const int parentIndex = object->metaObject()->indexOfProperty("parent");
    if (parentIndex >= 0 && object->metaObject()->property(parentIndex).isWritable())
      object->setProperty("parent", QVariant::fromValue(m_host->contentItem()));
  }

  // The dialog table's name -> file map, as the QML reads it.
  bool ReadDialogTable(QVariantMap* paths) {
    QQmlComponent reader(m_engine.data());
    reader.setData(
        "import QtQml 2.12\n"
        "import \"qrc:/qml/VDialogTable.js\" as DialogTable\n"
        "QtObject { property var paths: DialogTable.paths }\n",
        QUrl(QStringLiteral("qrc:/qml/DialogTableReader.qml")));
    QScopedPointer<QObject> table(reader.create());
    if (!table) {
      qWarning("%s", qPrintable(reader.errorString()));
      return false;
    }
    *paths = table->property("paths").toMap();
    return true;
  }

 private slots:
  void initTestCase() {
    // After the test log's own handler, to which it passes every message on.
    g_previousHandler = qInstallMessageHandler(CaptureQmlMessages);
    QFont font;
    VStartup::setupApplication(font);
    m_engine.reset(new QQmlEngine);
    connect(m_engine.data(), &QQmlEngine::warnings, this, [](const QList<QQmlError>& errors) {
      for (const QQmlError& error : errors) Note(error.toString());
    });
    m_classManager = VStartup::setupEngine(*m_engine);
    // Pages of the signed-in program find their managers too.
    m_classManager->createPostClass();
    QVERIFY(!ResourceQmlFiles().isEmpty());
    m_host.reset(new QQuickWindow);
    m_host->resize(800, 600);
    m_hostContext.reset(new QQmlContext(m_engine->rootContext()));
    m_hostContext->setContextProperty(QStringLiteral("index"), 0);
    m_hostContext->setContextProperty(QStringLiteral("model"), &m_stubRow);
    m_hostContext->setContextProperty(QStringLiteral("modelData"), &m_stubRow);
  }

  void cleanupTestCase() {
    ImUiInterface::instance()->releaseInterface();
    m_hostContext.reset();
    m_host.reset();
    m_classManager.reset();
    m_engine.reset();
    qInstallMessageHandler(g_previousHandler);
  }

  // The program's round as a user goes it: the login window, the main window, a
  // kick-out back to the login window, the main window again, then the quit, after
  // which the engine takes every window down. No warning on the way, teardown
  // included.
  void kickOutAndQuitLeaveNoWarning() {
    TakeProblems();
    QQmlComponent component(m_engine.data(), VStartup::firstWindow());
    // Gone at the end whatever happens, so that the next rows start clean.
    QScopedPointer<QObject> splash(component.create());
    QVERIFY2(splash, qPrintable(component.errorString()));
    const auto current = [&splash] {
      return qobject_cast<QQuickWindow*>(splash->property("currentWindow").value<QObject*>());
    };
    for (int round = 0; round < 2; ++round) {
      QPointer<QQuickWindow> login = current();
      QVERIFY(login);
      emit VGlobal::instance()->showIndexPage();
      QPointer<QQuickWindow> main = current();
      QVERIFY(main && main != login);
      QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), 20000);
      // The add menus of the chat and contact lists opened, as a user would.
      const QList<QQuickItem*> addButtons =
          main->findChildren<QQuickItem*>(QStringLiteral("addButton"));
      QVERIFY(!addButtons.isEmpty());
      for (QQuickItem* button : addButtons) QVERIFY(QMetaObject::invokeMethod(button, "openMenu"));
      QTest::qWait(100);
      if (round == 1) break;
      emit ImLoginManager::instance()->recvKickOut(QStringLiteral("elsewhere"));
      auto* kickOut =
          qobject_cast<QQuickWindow*>(main->property("kickOutDialog").value<QObject*>());
      QVERIFY(kickOut);
      QTRY_VERIFY_WITH_TIMEOUT(kickOut->isVisible(), 20000);
      QVERIFY(QMetaObject::invokeMethod(kickOut, "close"));
      QTRY_VERIFY_WITH_TIMEOUT(main.isNull(), 20000);
      QTRY_VERIFY_WITH_TIMEOUT(current(), 20000);
    }
    // The quit: the tray's "Quit" ends the loop, then the engine deletes its windows.
    QQuickWindow* main = current();
    QObject* tray = main->findChild<QObject*>(QStringLiteral("trayIcon"));
    QVERIFY(tray);
    tray->setProperty("visible", false);
    splash.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(100);
    const QStringList problems = TakeProblems();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

  // Every entry of the main window's table of pages and dialogs names its own
  // file, which the program ships and which loads.
  void dialogTableEntriesLoad_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("url");
    QVariantMap paths;
    QVERIFY(ReadDialogTable(&paths));
    QVERIFY(!paths.isEmpty());
    for (auto it = paths.cbegin(); it != paths.cend(); ++it)
      QTest::newRow(qPrintable(it.key())) << it.key() << it.value().toString();
  }

  void dialogTableEntriesLoad() {
    QFETCH(QString, file);
    QFETCH(QString, url);
    QVERIFY2(url.endsWith(QLatin1Char('/') + file), qPrintable(url));
    QVERIFY2(ResourceQmlFiles().contains(url), qPrintable(url));
    TakeProblems();
    QQmlComponent component(m_engine.data(), QUrl(url));
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    const QStringList problems = TakeProblems();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }

  // Every file that the QML asks the dialog table for by name is in the table: a
  // name that is not would leave its place empty at run time.
  void namesAskedOfTheTableAreInIt() {
    QVariantMap paths;
    QVERIFY(ReadDialogTable(&paths));
    const QRegularExpression asked(QStringLiteral(
        "(?:DialogTable\\.url|_make|dialogSlot|showDialog|_tryCreate)\\(\\s*\"([^\"]+)\""));
    int found = 0;
    QStringList missing;
    for (const QString& url : ResourceQmlFiles()) {
      QFile file(url.mid(3));
      QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(url));
      const QString text = QString::fromUtf8(file.readAll());
      for (auto it = asked.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        ++found;
        if (!paths.contains(name) && !kNotShippedYet.contains(name))
          missing << url + QLatin1String(": ") + name;
      }
    }
    QVERIFY(found > 20);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
  }

  void loadsSilently_data() {
    QTest::addColumn<QString>("url");
    for (const QString& file : ResourceQmlFiles()) QTest::newRow(qPrintable(file)) << file;
  }

  void loadsSilently() {
    QFETCH(QString, url);
    TakeProblems();
    QStringList problems;
    {
      QQmlComponent component(m_engine.data(), QUrl(url));
      QVERIFY2(component.isReady(), qPrintable(component.errorString()));
      QScopedPointer<QObject> object(component.beginCreate(m_hostContext.data()));
      QVERIFY2(object, qPrintable(component.errorString()));
      adopt(object.data());
      component.completeCreate();
      // Bindings, timers and image loads settle.
      QTest::qWait(100);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    problems = TakeProblems();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
  }
};

int main(int argc, char** argv) {
  // The pages embed web views: the web engine is set up before the application.
  VStartup::setProcessAttributes();
  QtWebEngine::initialize();
  return ClientTest::Run<TestQmlLoad>(argc, argv);
}

#include "tst_qmlload.moc"
