// The contacts page, the group drawer and the group dialogs through the real engine
// against the local server, driven as a person would: log in, create a group with a
// friend, add a member, make an administrator, ban single chats, hand the group
// over, leave it and join it again by its code. Under a virtual X server the
// screen is kept after each step (artefacts/contacts).
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <vector>

#include "shell/ImCreateClassManager.h"
#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "shell/VExitCleanup.h"
#include "shell/VStartup.h"
#include "support/ClientTestMain.h"
#include "support/QuickTestMain.h"
#include "support/StubPing.h"
#include "tools/LocalServerProcess.h"

namespace {
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-people-world.json";
constexpr int kWaitMs = 30000;

// Processes events until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, int ms = kWaitMs) {
  QDeadlineTimer deadline(ms);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}
}  // namespace

class OnScreenFixture : public QObject {
  Q_OBJECT

 public:
  OnScreenFixture(LocalServerProcess* server, const QString& stateDir)
      : m_server(server), m_stateDir(stateDir) {
    connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
            [this](const UIMessage* msg) { m_reports << msg->m_Method; });
  }

  Q_INVOKABLE bool serverStarted() const { return m_server->Value("TESMO_SERVER") != ""; }

  // Logs in by phone and code as the login page does, and waits for the first sync.
  Q_INVOKABLE bool login(const QString& phone, const QString& code) {
    ImLoginManager* login = ImLoginManager::instance();
    bool done = false, ok = false;
    auto success = connect(login, &ImLoginManager::loginSuccess, this, [&] { done = ok = true; });
    auto failure = connect(login, &ImLoginManager::loginFailure, this, [&] { done = true; });
    login->login(phone, QStringLiteral("+86"), code);
    WaitFor([&] { return done; });
    disconnect(success);
    disconnect(failure);
    return ok && WaitFor([this] { return m_reports.contains(_EVENT_COME_FINISHIMHISTORY); });
  }

  // The whole screen, kept when a virtual X server shows the windows.
  Q_INVOKABLE bool shot(const QString& name) {
    if (qEnvironmentVariableIsEmpty("TESMO_SCREEN_TEST")) return true;
    QCoreApplication::processEvents();
    const QString folder = QStringLiteral(TESMO_ARTEFACT_DIR "/contacts");
    QDir().mkpath(folder);
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->grabWindow(0).save(folder + QLatin1Char('/') + name + ".png");
  }

  // The group as the local server keeps it (its state file), as JSON text.
  Q_INVOKABLE QString serverGroups() const {
    QFile file(m_stateDir + QStringLiteral("/groups.json"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

 private:
  LocalServerProcess* m_server;
  QString m_stateDir;
  QList<int> m_reports;
};

class OnScreenSetup : public QObject {
  Q_OBJECT

 public:
  OnScreenSetup() { ClientTest::PrepareQuickTests(m_home); }

 public slots:
  void applicationAvailable() {
    ClientTest::SetUpQuickApplication();
    // The engine finds every server through TESMO_SERVER, before it starts.
    const QString state = m_home.filePath(QStringLiteral("state"));
    if (m_server.Start({"--world", kWorld, "--state", state.toStdString()})) {
      qputenv("TESMO_SERVER", m_server.Value("TESMO_SERVER").c_str());
      qputenv("TESMO_CA_FILE", m_server.Value("TESMO_CA_FILE").c_str());
    } else {
      qWarning("local server: %s", (m_server.Output() + m_server.Errors()).c_str());
    }
    m_stateDir = state;
  }

  void qmlEngineAvailable(QQmlEngine* engine) {
    QSharedPointer<ImCreateClassManager> managers = VStartup::setupEngine(*engine);
    managers->createPostClass();
    m_managers.append(managers);
    if (!m_fixture) m_fixture.reset(new OnScreenFixture(&m_server, m_stateDir));
    engine->rootContext()->setContextProperty(QStringLiteral("e2e"), m_fixture.data());
  }

  void cleanupTestCase() {
    ClientTest::EndQuickTests(m_managers);
    m_server.Stop();
  }

 private:
  QTemporaryDir m_home;
  // The network check finds the network up, as on a connected desktop; no probe
  // leaves the machine.
  StubPing::Stub m_ping;
  QString m_stateDir;
  LocalServerProcess m_server;
  QScopedPointer<OnScreenFixture> m_fixture;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  OnScreenSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_contacts_onscreen", QUICK_TEST_SOURCE_DIR,
                                  &setup);
}

#include "tst_contactsonscreen.moc"
