// The conversation page through the real engine against the local server with its
// demo world, driven as a person would: log in, open a conversation, send a text
// and a picture, see the scripted friend's reply, recall, let texts arrive behind
// the main window's contacts tab. Under a virtual X server
// the screen is kept after each step (artefacts/conversations).
#include <QImage>
#include <QQuickWindow>
#include <QtQuickTest>

#include "conversations/ImMessageQuery.h"
#include "shell/ImUiInterface.h"
#include "support/OnScreenSteps.h"

namespace {
const char kWorld[] = TESMO_DEMO_WORLD;
}  // namespace

class OnScreenFixture : public QObject {
  Q_OBJECT

 public:
  OnScreenFixture(LocalServerProcess* server, const QString& stateDir)
      : m_server(server), m_stateDir(stateDir) {}

  Q_INVOKABLE bool serverStarted() const { return m_server->Value("TESMO_SERVER") != ""; }

  Q_INVOKABLE bool login(const QString& phone, const QString& code) {
    return m_session.login(phone, code);
  }

  Q_INVOKABLE bool shot(const QString& name) {
    return ClientTest::KeepScreen(QStringLiteral(TESMO_ARTEFACT_DIR "/conversations"), name);
  }

  // A control command of the local server ("push TO FROM TEXT", ...); its answer.
  Q_INVOKABLE QString command(const QString& line) const {
    return QString::fromStdString(m_server->Command(line.toStdString()));
  }

  // Stored messages from that account not yet read.
  Q_INVOKABLE int unreadFrom(const QString& account) const {
    return ImUiInterface::instance()->getDataCount(
        QStringLiteral("select id from nq_message where seeflag=0 and fromuser=") +
        ImMessageQuery::quoted(account));
  }

  // A picture file to send; its path.
  Q_INVOKABLE QString picture(const QString& name) const {
    const QString path = m_stateDir + QLatin1Char('/') + name + QStringLiteral(".png");
    QImage image(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(40 + x, 120, 250 - y));
    return image.save(path) ? path : QString();
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
  QScopedPointer<OnScreenFixture> m_fixture;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  OnScreenSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_conversations_onscreen",
                                   QUICK_TEST_SOURCE_DIR, &setup);
}

#include "tst_sessiononscreen.moc"
