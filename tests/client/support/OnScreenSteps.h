#ifndef TESMO_TESTS_CLIENT_ONSCREENSTEPS_H
#define TESMO_TESTS_CLIENT_ONSCREENSTEPS_H

// Steps of the program's tests through the real engine against the local server:
// waiting while events run, logging in by phone and code as the login page does,
// and keeping the screen under a virtual X server.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QList>
#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QScreen>
#include <QSharedPointer>
#include <QTemporaryDir>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "support/QuickTestMain.h"
#include "tools/LocalServerProcess.h"

namespace ClientTest {

constexpr int kOnScreenWaitMs = 30000;

// Processes events until the condition holds or the time is up.
template <typename Condition>
bool WaitFor(Condition condition, int ms = kOnScreenWaitMs) {
  QDeadlineTimer deadline(ms);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return true;
}

// Remembers the engine's reports from its making on, so a login can wait for the
// first history sync.
class OnScreenSession : public QObject {
 public:
  explicit OnScreenSession(QObject* parent = nullptr) : QObject(parent) {
    connect(ImUiInterface::instance()->notifyManager(), &ImNotifyManager::notify, this,
            [this](const UIMessage* msg) { m_reports << msg->m_Method; });
  }

  bool login(const QString& phone, const QString& code) {
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

 private:
  QList<int> m_reports;
};

// The whole screen as folder/name.png, when TESMO_SCREEN_TEST says a virtual X
// server shows the windows; true otherwise.
inline bool KeepScreen(const QString& folder, const QString& name) {
  if (qEnvironmentVariableIsEmpty("TESMO_SCREEN_TEST")) return true;
  QCoreApplication::processEvents();
  QDir().mkpath(folder);
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen && screen->grabWindow(0).save(folder + QLatin1Char('/') + name + ".png");
}

// The process side of an on-screen Qt Quick test: a fresh home, the local server
// on a world and the program's managers. The test's setup object calls these from
// its slots of the same names.
class OnScreenRun {
 public:
  OnScreenRun() { PrepareQuickTests(m_home); }

  // The engine finds every server through TESMO_SERVER, before it starts.
  void applicationAvailable(const char* world) {
    SetUpQuickApplication();
    m_stateDir = m_home.filePath(QStringLiteral("state"));
    if (m_server.Start({"--world", world, "--state", m_stateDir.toStdString()})) {
      qputenv("TESMO_SERVER", m_server.Value("TESMO_SERVER").c_str());
      qputenv("TESMO_CA_FILE", m_server.Value("TESMO_CA_FILE").c_str());
    } else {
      qWarning("local server: %s", (m_server.Output() + m_server.Errors()).c_str());
    }
  }

  // The managers of this QML engine, then the test's fixture (made once they
  // exist, as it listens to them) published as "e2e".
  template <typename Fixture>
  void qmlEngineAvailable(QQmlEngine* engine, Fixture fixture) {
    QSharedPointer<ImCreateClassManager> managers = VStartup::setupEngine(*engine);
    managers->createPostClass();
    m_managers.append(managers);
    engine->rootContext()->setContextProperty(QStringLiteral("e2e"), fixture());
  }

  void cleanupTestCase() {
    EndQuickTests(m_managers);
    m_server.Stop();
  }

  LocalServerProcess* server() { return &m_server; }
  const QString& stateDir() const { return m_stateDir; }

 private:
  QTemporaryDir m_home;
  QString m_stateDir;
  LocalServerProcess m_server;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

}  // namespace ClientTest

#endif
