// The login manager over the real engine against the local server: a login by
// phone code and a login by a QR code that the server confirms, as the login page
// drives them.
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "support/ClientTestMain.h"
#include "support/ProgramServer.h"
#include "tools/LocalServerProcess.h"

namespace {
constexpr int kLoginWaitMs = 60000;
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-world.json";
const char kAccount[] = "200001@test.local";

ImLoginManager* Manager() { return ImLoginManager::instance(); }

QString DataBase() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

QString Setting(const char* key) { return VConfig::instance()->value(key).toString(); }
}  // namespace

class TestLoginEndToEnd : public QObject {
  Q_OBJECT

  QTemporaryDir m_dir;
  LocalServerProcess m_server;

 private slots:
  void initTestCase() {
    ProgramServer::Start(m_server, kWorld, m_dir);
    if (QTest::currentTestFailed()) return;
    ImUiInterface::instance()->initInterface();
    QVERIFY(ImUiInterface::instance()->serverOverridden());
    QCOMPARE(ImUiInterface::instance()->serverHost(), QStringLiteral("127.0.0.1"));
  }

  void cleanupTestCase() {
    ImUiInterface::instance()->releaseInterface();
    QCOMPARE(m_server.Stop(), 0);
  }

  void loginByCode() {
    QSignalSpy success(Manager(), &ImLoginManager::loginSuccess);
    QSignalSpy failure(Manager(), &ImLoginManager::loginFailure);
    Manager()->login("13900000001", "+86", "111222");
    QTRY_COMPARE_WITH_TIMEOUT(success.count() + failure.count(), 1, kLoginWaitMs);
    QCOMPARE(success.count(), 1);
    QCOMPARE(Setting("LastloginAccount"), QStringLiteral("13900000001"));
    QCOMPARE(Setting("MY_ACCOUNT"), QString::fromLatin1(kAccount));
    QCOMPARE(Setting("MY_USERID"), QStringLiteral("200001"));
    QCOMPARE(Setting("MY_NAME"), QStringLiteral("Tess Tester"));
    QVERIFY(QFile::exists(DataBase() + "/data/13900000001/tesChat.db"));
    QVERIFY(ImUiInterface::instance()->LoginState() != 0);
  }

  void loginByQrCode() {
    ImUiInterface::instance()->MakeUnRegister();
    QSignalSpy success(Manager(), &ImLoginManager::loginSuccess);
    QSignalSpy failure(Manager(), &ImLoginManager::loginFailure);
    QSignalSpy invalid(Manager(), &ImLoginManager::qrcodeInvalid);
    const QString shown = Manager()->getQRcodeString();
    QVERIFY2(shown.startsWith("https://" + QString::fromStdString(m_server.Value("TESMO_SERVER")) +
                              "/down/#/tesmochat?auid="),
             qPrintable(shown));
    // The server confirms the scan by itself; the manager logs in with the key.
    QTRY_COMPARE_WITH_TIMEOUT(success.count() + failure.count() + invalid.count(), 1, kLoginWaitMs);
    QCOMPARE(success.count(), 1);
    QCOMPARE(Setting("LastloginAccount"), QString::fromLatin1(kAccount));
    QCOMPARE(Setting("MY_ACCOUNT"), QString::fromLatin1(kAccount));
    QVERIFY(QFile::exists(DataBase() + "/data/" + kAccount + "/tesChat.db"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestLoginEndToEnd)
#include "tst_loginendtoend.moc"
