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
#include <QScreen>

#include "shell/ImLoginManager.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"

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

}  // namespace ClientTest

#endif
