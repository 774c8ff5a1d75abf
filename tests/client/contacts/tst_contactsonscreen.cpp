// The contacts page, the group drawer and the group dialogs through the real engine
// against the local server, driven as a person would: log in, create a group with a
// friend, give it an introduction that renaming and the join switch keep, add and
// remove a member, make an administrator, ban single chats, try a wrong join code,
// hand the group over, leave it and join it again by its code. Under a virtual X server the
// screen is kept after each step (artefacts/contacts).
#include <QFile>
#include <QQuickWindow>
#include <QtQuickTest>

#include "shell/ImUiInterface.h"
#include "support/OnScreenSteps.h"
#include "support/StubPing.h"

namespace {
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-people-world.json";
}  // namespace

class OnScreenFixture : public QObject {
  Q_OBJECT

 public:
  OnScreenFixture(LocalServerProcess* server, const QString& stateDir)
      : m_server(server), m_stateDir(stateDir) {}

  Q_INVOKABLE bool serverStarted() const { return m_server->Value("TESMO_SERVER") != ""; }

  // Logs in by phone and code as the login page does, and waits for the first sync.
  Q_INVOKABLE bool login(const QString& phone, const QString& code) {
    return m_session.login(phone, code);
  }

  // The whole screen, kept when a virtual X server shows the windows.
  Q_INVOKABLE bool shot(const QString& name) {
    return ClientTest::KeepScreen(QStringLiteral(TESMO_ARTEFACT_DIR "/contacts"), name);
  }

  // A text column of the first row of a query on the engine's database.
  Q_INVOKABLE QString dbText(const QString& sql) const {
    ImUiInterface* engine = ImUiInterface::instance();
    const long set = engine->DBSelectSql(sql.toUtf8().constData());
    QString text;
    if (set && engine->DBGetRecordCount(set) > 0)
      text = QString::fromUtf8(engine->DBGetStrValue(set, 0, 0));
    engine->DBRelease(set);
    return text;
  }

  // The group as the local server keeps it (its state file), as JSON text.
  Q_INVOKABLE QString serverGroups() const {
    QFile file(m_stateDir + QStringLiteral("/groups.json"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

 private:
  LocalServerProcess* m_server;
  QString m_stateDir;
  ClientTest::OnScreenSession m_session;
};

class OnScreenSetup : public QObject {
  Q_OBJECT

 public slots:
  void applicationAvailable() { m_run.applicationAvailable(kWorld); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    m_run.qmlEngineAvailable(engine, [this] {
      if (!m_fixture) m_fixture.reset(new OnScreenFixture(m_run.server(), m_run.stateDir()));
      return m_fixture.data();
    });
  }

  void cleanupTestCase() { m_run.cleanupTestCase(); }

 private:
  ClientTest::OnScreenRun m_run;
  // The network check finds the network up, as on a connected desktop; no probe
  // leaves the machine.
  StubPing::Stub m_ping;
  QScopedPointer<OnScreenFixture> m_fixture;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  OnScreenSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_contacts_onscreen", QUICK_TEST_SOURCE_DIR,
                                   &setup);
}

#include "tst_contactsonscreen.moc"
