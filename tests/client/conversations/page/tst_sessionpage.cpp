// The conversation page under Qt Quick Test, over the real managers and the
// engine test double: each tst_*.qml file of sessionpage/ gets the program's
// context properties and "pageFixture", which seeds the database and reads back
// what the page asked of the engine.
#include <QAtomicInt>
#include <QDir>
#include <QImage>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QtQuickTest>
#include <QtWebEngine>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "contacts/ImContactsManager.h"
#include "contacts/ImGroupManager.h"
#include "conversations/ImSessionListManager.h"
#include "conversations/ImSessionManager.h"
#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VExitCleanup.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/QuickTestMain.h"

class PageFixture : public QObject {
  Q_OBJECT

 public:
  explicit PageFixture(const QString& folder) : m_folder(folder) {}

  // A signed-in account over a fresh database with empty lists.
  Q_INVOKABLE bool start(const QString& account) {
    ImUiInterface* ui = ImUiInterface::instance();
    ui->initInterface();
    ImSessionListManager::instance()->wipeData();
    ImSessionManager::instance()->wipeData();
    ImContactsManager::instance()->wipeData();
    EngineDouble::Reset();
    EngineDouble::SetText("GetMyAccount", account.toStdString());
    EngineDouble::SetText("GetMyName", "Me");
    VConfig::instance()->setValue(QStringLiteral("LastloginAccount"), account);
    VConfig::instance()->setValue(QStringLiteral("MY_ACCOUNT"), account);
    if (!ImLoginManager::instance()->prepareAccountFolders(account)) return false;
    const QByteArray path =
        QDir(m_folder).filePath(QStringLiteral("db%1.db").arg(++s_databases)).toUtf8();
    if (ui->SetDatabase(path.constData()) != 2) return false;
    ImSessionManager::instance()->setMyAccount(account);
    VConfig::instance()->setAutoMoveToTop(true);
    return true;
  }

  Q_INVOKABLE bool exec(const QString& sql) { return ImUiInterface::instance()->dbExecSql(sql); }

  Q_INVOKABLE int lastId() {
    ImUiInterface* ui = ImUiInterface::instance();
    const long set = ui->DBSelectSql("select max(id) from nq_message");
    const int id = set ? ui->DBGetIntValue(set, 0, 0) : 0;
    ui->DBRelease(set);
    return id;
  }

  Q_INVOKABLE int count(const QString& where) {
    return ImUiInterface::instance()->getDataCount(
        QStringLiteral("select id from nq_message where ") + where);
  }

  // Loads the groups and the conversation list from the database.
  Q_INVOKABLE void loadLists() {
    ImGroupManager::instance()->wipeData();
    ImGroupManager::instance()->initData();
    ImSessionListManager::instance()->initData();
  }

  Q_INVOKABLE void resetCalls() { EngineDouble::Reset(); }

  // The recorded engine calls of that name, as "Name(arg,...)".
  Q_INVOKABLE QStringList calls(const QString& name) const {
    QStringList found;
    const std::string prefix = name.toStdString() + "(";
    for (const std::string& call : EngineDouble::Calls())
      if (call.rfind(prefix, 0) == 0) found << QString::fromStdString(call);
    return found;
  }

  Q_INVOKABLE QStringList callNames() const {
    QStringList names;
    for (const std::string& name : EngineDouble::CallNames()) names << QString::fromStdString(name);
    return names;
  }

  // A picture file of that size; its path.
  Q_INVOKABLE QString picture(const QString& name, int width, int height) {
    QDir().mkpath(m_folder + QStringLiteral("/pictures"));
    const QString path = m_folder + QStringLiteral("/pictures/") + name + QStringLiteral(".png");
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(path);
    return path;
  }

  Q_INVOKABLE QString folder(const QString& name) {
    const QString path = m_folder + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path;
  }

  Q_INVOKABLE QString textFile(const QString& name) {
    const QString path = m_folder + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("text\n");
    return path;
  }

  Q_INVOKABLE void setActive(bool active) { VGlobal::instance()->setActive(active); }

  // What the engine double's getters answer ("LoginState", "GetBlackList", ...).
  Q_INVOKABLE void setEngineInt(const QString& method, int value) {
    EngineDouble::SetInt(method.toStdString(), value);
  }
  Q_INVOKABLE void setEngineText(const QString& method, const QString& text) {
    EngineDouble::SetText(method.toStdString(), text.toStdString());
  }

  // A report of the engine, delivered from its worker thread like a real one.
  Q_INVOKABLE void raise(int code, int status, int dialog, const QString& text) {
    EngineDouble::Raise(0, code, status, dialog, 0, text.toStdString());
  }

  // Types where the keyboard really is: into the window that has it, as a
  // person's keys go. False when no window of the program has the keyboard.
  Q_INVOKABLE bool typeIntoFocusWindow(const QString& text) {
    QWindow* window = QGuiApplication::focusWindow();
    if (!window) return false;
    for (const QChar c : text) {
      // Keys with no key code of their own (an en space) go as text alone.
      if (c.unicode() < 0x80)
        QTest::keyClick(window, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, window, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    return true;
  }
  Q_INVOKABLE bool keyIntoFocusWindow(int key) {
    QWindow* window = QGuiApplication::focusWindow();
    if (!window) return false;
    QPointer<QWindow> pressed = window;
    QTest::keyPress(window, static_cast<Qt::Key>(key));
    // The key may close the window it went to; its release then goes where the
    // keyboard went.
    QWindow* now = pressed ? pressed.data() : QGuiApplication::focusWindow();
    if (now) QTest::keyRelease(now, static_cast<Qt::Key>(key));
    return true;
  }
  // A desktop with no program to open files with: no launcher on the path and
  // no desktop session that names one. Undone with false.
  Q_INVOKABLE void hideFileOpeners(bool hide) {
    static const char* const kNames[] = {"PATH", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                                         "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"};
    if (hide) {
      m_savedEnvironment.clear();
      for (const char* name : kNames) {
        if (qEnvironmentVariableIsSet(name)) m_savedEnvironment.insert(name, qgetenv(name));
        qunsetenv(name);
      }
      qputenv("PATH", folder(QStringLiteral("empty-path")).toLocal8Bit());
      return;
    }
    qunsetenv("PATH");
    for (auto it = m_savedEnvironment.cbegin(); it != m_savedEnvironment.cend(); ++it)
      qputenv(it.key().constData(), it.value());
    m_savedEnvironment.clear();
  }

  // The title of the window that has the keyboard; empty for none.
  Q_INVOKABLE QString focusWindowName() const {
    QWindow* window = QGuiApplication::focusWindow();
    return window ? window->objectName() + QLatin1Char('/') + window->metaObject()->className()
                  : QString();
  }

  // Counts the script errors QML reports from now on (a binding reading a gone
  // item); the messages still reach the test log.
  Q_INVOKABLE void countScriptErrors() {
    s_scriptErrors.storeRelaxed(0);
    if (s_previousHandler) return;
    s_previousHandler = qInstallMessageHandler(&PageFixture::onMessage);
  }
  Q_INVOKABLE int scriptErrors() const { return s_scriptErrors.loadRelaxed(); }

 private:
  static void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.contains(QLatin1String("Error: "))) s_scriptErrors.ref();
    s_previousHandler(type, context, text);
  }

  static QAtomicInt s_scriptErrors;
  static QtMessageHandler s_previousHandler;
  QString m_folder;
  QMap<QByteArray, QByteArray> m_savedEnvironment;
  // Counted over every file's fixture: a file must not start from another's rows.
  static int s_databases;
};

int PageFixture::s_databases = 0;
QAtomicInt PageFixture::s_scriptErrors;
QtMessageHandler PageFixture::s_previousHandler = nullptr;

class PageTestSetup : public QObject {
  Q_OBJECT

 public:
  PageTestSetup() {
    // Runs before the application object exists.
    ClientTest::PrepareQuickTests(m_home);
  }

 public slots:
  void applicationAvailable() { ClientTest::SetUpQuickApplication(); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    m_fixture.reset(new PageFixture(m_home.path()));
    m_managers.append(VStartup::setupEngine(*engine));
    m_managers.last()->createPostClass();
    engine->rootContext()->setContextProperty(QStringLiteral("pageFixture"), m_fixture.data());
  }

  void cleanupTestCase() {
    ImSessionListManager::instance()->wipeData();
    ClientTest::EndQuickTests(m_managers);
    m_fixture.reset();
  }

 private:
  QTemporaryDir m_home;
  QScopedPointer<PageFixture> m_fixture;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  PageTestSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_sessionpage", QUICK_TEST_SOURCE_DIR,
                                   &setup);
}

#include "tst_sessionpage.moc"
