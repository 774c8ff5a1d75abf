// The login manager against the engine test double: what reaches the engine for a
// phone or QR login, the account's folders and database, the engine's reports, the
// replies matched by dialog id, and the hosts of the deployment.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/OutputCapture.h"
#include "support/ReportDelivery.h"
#include "support/StubPing.h"

namespace {
ImUiInterface* Ui() { return ImUiInterface::instance(); }
ImLoginManager* Manager() { return ImLoginManager::instance(); }

QString LastLogin() { return VConfig::instance()->value("LastloginAccount").toString(); }

QString DataBase() { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }

// The recorded engine calls with one of these names, in order.
QStringList CallsNamed(const QStringList& names) {
  QStringList found;
  for (const std::string& call : EngineDouble::Calls()) {
    const QString text = QString::fromStdString(call);
    if (names.contains(text.section(QLatin1Char('('), 0, 0))) found << text;
  }
  return found;
}

const QStringList kLoginCalls = {"SetDatabase", "SetMobileLogin", "SetQRLogin", "MakeRegister"};

// What a login must never write to the output (desktop sessions keep it in the
// journal): the number, the code typed and the code's digest.
const QString kPhone = QStringLiteral("13912345678");
const QString kCode = QStringLiteral("824613");
const QString kDigest = QStringLiteral("0c4e5fd1a7b24d9e8f0d6c3b2a190817");

enum class LoginStep {
  PhoneLogin,
  RefusedPhone,
  CodeAsked,
  CodeAnswered,
  CheckCode,
  ScanConfirmed,
  LoginSucceeded
};

}  // namespace

Q_DECLARE_METATYPE(LoginStep)

class TestImLoginManager : public QObject {
  Q_OBJECT

  StubPing::Stub m_ping;

 private slots:
  void initTestCase() {
    QVERIFY(m_ping.valid());
    Ui()->initInterface();
    QVERIFY(EngineDouble::IsRunning());
    Manager();
  }

  void init() { EngineDouble::Reset(); }

  void deviceIdIsHexadecimal() {
    const QString id = Manager()->deviceId();
    QVERIFY(!id.isEmpty());
    QVERIFY2(QRegularExpression("^[0-9A-F]+$").match(id).hasMatch(), qPrintable(id));
  }

  void phoneLoginPreparesTheAccountAndLogsIn() {
    QSignalSpy logging(Manager(), &ImLoginManager::logging);
    Manager()->login("13800000001", "+86", "4321");
    QCOMPARE(logging.count(), 1);
    const QString folder = DataBase() + "/data/13800000001";
    const QString database = folder + "/tesChat.db";
    const QString device = Manager()->deviceId();
    QCOMPARE(
        CallsNamed(kLoginCalls),
        QStringList({"SetDatabase(" + database + ")",
                     "SetMobileLogin(13800000001,+86,4321," + device + ",1)", "MakeRegister()"}));
    QVERIFY(QFile::exists(database));
    for (const char* sub : {"Portraits", "Audio", "Video", "Documents", "Images"})
      QVERIFY2(QDir(folder + "/" + sub).exists(), sub);
    QCOMPARE(LastLogin(), QStringLiteral("13800000001"));
    QCOMPARE(Manager()->getLocalDataPath(2), folder + "/Images/");
    QCOMPARE(Manager()->getLocalDataPath(8), folder + "/Images/");
    QCOMPARE(Manager()->getLocalDataPath(4), folder + "/Audio/");
    QCOMPARE(Manager()->getLocalDataPath(5), folder + "/Video/");
    QCOMPARE(Manager()->getLocalDataPath(0), folder + "/Documents/");
    QCOMPARE(Manager()->getLocalDataPath(7), folder + "/Documents/");
  }

  void secondLoginKeepsAnExistingDatabase() {
    const QString database = DataBase() + "/data/13800000002/tesChat.db";
    QDir().mkpath(QFileInfo(database).absolutePath());
    QFile file(database);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();
    Manager()->login("13800000002", "+86", "1");
    QVERIFY(CallsNamed(kLoginCalls).contains("SetDatabase(" + database + ")"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
  }

  void emptyPhoneCallsNothing() {
    QSignalSpy logging(Manager(), &ImLoginManager::logging);
    Manager()->login("", "+86", "1234");
    QCOMPARE(logging.count(), 1);
    QVERIFY(CallsNamed(kLoginCalls).isEmpty());
    QCOMPARE(LastLogin(), QString());
  }

  void unsafeAccountNamesAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("parent folder") << "../escape";
    QTest::newRow("only dots") << "..";
    QTest::newRow("one dot") << ".";
    QTest::newRow("inner dots") << "a..b";
    QTest::newRow("slash") << "a/b";
    QTest::newRow("absolute") << "/tmp/evil";
    QTest::newRow("backslash") << "a\\b";
    QTest::newRow("newline") << "a\nb";
    QTest::newRow("nul") << QString::fromLatin1("a\0b", 3);
    QTest::newRow("escape") << "a\x1b"
                               "b";
    QTest::newRow("128 bytes") << QString(128, QLatin1Char('7'));
    QTest::newRow("64 two-byte letters") << QString(64, QChar(0x00e9));
  }

  void unsafeAccountNamesAreRefused() {
    QFETCH(QString, name);
    QVERIFY(!ImLoginManager::isSafeAccountName(name));
    const QStringList before = QDir(DataBase() + "/data").entryList(QDir::AllEntries);
    VConfig::instance()->setValue("LastloginAccount", "13800000001");

    QSignalSpy failure(Manager(), &ImLoginManager::loginFailure);
    Manager()->login(name, "+86", "1");
    QCOMPARE(failure.count(), 1);

    QSignalSpy invalid(Manager(), &ImLoginManager::qrcodeInvalid);
    Manager()->QRLogin(name);
    // The engine's texts end at a NUL, so that one cannot come as a report.
    const int expected = name.contains(QChar(0)) ? 1 : 2;
    if (expected == 2)
      QVERIFY(ReportDelivery::Deliver(_EVENT_REPORT_QRLOGIN, 0, 0, name.toStdString()));
    QTRY_COMPARE_WITH_TIMEOUT(invalid.count(), expected, 20000);

    QVERIFY(CallsNamed(kLoginCalls).isEmpty());
    QCOMPARE(QDir(DataBase() + "/data").entryList(QDir::AllEntries), before);
    QCOMPARE(LastLogin(), QStringLiteral("13800000001"));
  }

  void safeAccountNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("digits") << "13800000001";
    QTest::newRow("127 bytes") << QString(127, QLatin1Char('7'));
    QTest::newRow("inner dot") << "a.b";
    QTest::newRow("letters") << "qrKey_ABC-123";
  }

  void safeAccountNames() {
    QFETCH(QString, name);
    QVERIFY(ImLoginManager::isSafeAccountName(name));
  }

  void confirmedScanLogsInByQr() {
    QSignalSpy logging(Manager(), &ImLoginManager::logging);
    QVERIFY(ReportDelivery::Deliver(_EVENT_REPORT_QRLOGIN, 0, 0, "qrkey77"));
    QTRY_COMPARE_WITH_TIMEOUT(logging.count(), 1, 20000);
    const QString database = DataBase() + "/data/qrkey77/tesChat.db";
    QCOMPARE(
        CallsNamed(kLoginCalls),
        QStringList({"SetDatabase(" + database + ")",
                     "SetQRLogin(qrkey77," + Manager()->deviceId() + ",1)", "MakeRegister()"}));
    QCOMPARE(LastLogin(), QStringLiteral("qrkey77"));
  }

  void failedOrExpiredScanIsInvalid_data() {
    QTest::addColumn<int>("a");
    QTest::newRow("expired") << 1;
    QTest::newRow("other failure") << 5;
    QTest::newRow("negative") << -1;
  }

  void failedOrExpiredScanIsInvalid() {
    QFETCH(int, a);
    QSignalSpy invalid(Manager(), &ImLoginManager::qrcodeInvalid);
    QSignalSpy logging(Manager(), &ImLoginManager::logging);
    QVERIFY(ReportDelivery::Deliver(_EVENT_REPORT_QRLOGIN, a, 0, "qrkey77"));
    QTRY_COMPARE_WITH_TIMEOUT(invalid.count(), 1, 20000);
    QCOMPARE(logging.count(), 0);
    QVERIFY(CallsNamed(kLoginCalls).isEmpty());
  }

  void loginSuccessStoresTheProfileFirst() {
    Manager()->login("13800000003", "+86", "1");
    EngineDouble::SetText("GetMyAccount", "13800000003");
    EngineDouble::SetText("GetMyUserID", "10086");
    EngineDouble::SetText("GetMyName", "张三");
    EngineDouble::SetText("GetMyLogo", "https://logo/small.png");
    EngineDouble::SetText("GetMyBigLogo", "https://logo/big.png");
    EngineDouble::SetText("GetMySummary", "hello");
    EngineDouble::SetInt("GetChampFlag", 2);
    QStringList seen;
    bool powerAtSignal = false;
    const QMetaObject::Connection connection =
        connect(Manager(), &ImLoginManager::loginSuccess, this, [&] {
          VConfig* config = VConfig::instance();
          seen << config->value("MY_ACCOUNT").toString() << config->value("MY_USERID").toString()
               << config->value("MY_NAME").toString() << config->value("MY_LOGO").toString()
               << config->value("MY_BIGLOGO").toString() << config->value("MY_SUMMARY").toString()
               << config->value("MY_CHAMPFLAG").toString();
          powerAtSignal = Manager()->syncMsgPower();
        });
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, R"({"result":{"usertype":3}})"));
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 7, 20000);
    disconnect(connection);
    QCOMPARE(seen, QStringList({"13800000003", "10086", "张三", "https://logo/small.png",
                                "https://logo/big.png", "hello", "2"}));
    QVERIFY(powerAtSignal);
    const QStringList downloads = CallsNamed({"DownloadFile"});
    QCOMPARE(downloads.size(), 1);
    QVERIFY2(downloads.first().contains(DataBase() + "/app.cfg,0)"), qPrintable(downloads.first()));

    // usertype 0 takes the power away again.
    QSignalSpy power(Manager(), &ImLoginManager::syncMsgPowerChanged);
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, R"({"result":{"usertype":0}})"));
    QTRY_COMPARE_WITH_TIMEOUT(power.count(), 1, 20000);
    QVERIFY(!Manager()->syncMsgPower());
  }

  void loginSuccessWithoutResultDoesNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty object") << "{}";
    QTest::newRow("empty result") << R"({"result":{}})";
    QTest::newRow("result not an object") << R"({"result":5})";
    QTest::newRow("not json") << "usertype=1";
    QTest::newRow("empty") << "";
  }

  void loginSuccessWithoutResultDoesNothing() {
    QFETCH(QString, text);
    VConfig::instance()->setValue("LastloginAccount", "quiet");
    VConfig::instance()->setValue("MY_ACCOUNT", "before");
    EngineDouble::SetText("GetMyAccount", "after");
    QSignalSpy success(Manager(), &ImLoginManager::loginSuccess);
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, text.toStdString()));
    QCOMPARE(success.count(), 0);
    QVERIFY(CallsNamed({"DownloadFile", "GetMyAccount", "UploadDumpFile"}).isEmpty());
    QCOMPARE(VConfig::instance()->value("MY_ACCOUNT").toString(), QStringLiteral("before"));
  }

  void loginFailureAndKickOut() {
    QSignalSpy failure(Manager(), &ImLoginManager::loginFailure);
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_FAIL, 5, 0, "ignored"));
    QTRY_COMPARE_WITH_TIMEOUT(failure.count(), 1, 20000);

    QSignalSpy kicked(Manager(), &ImLoginManager::recvKickOut);
    QVERIFY(ReportDelivery::Deliver(_EVENT_RECV_KICKOUT, 0, 0, "signed in elsewhere"));
    QVERIFY(ReportDelivery::Deliver(_EVENT_REPORT_SYSKICKOUT, 0, 0, "账号已停用"));
    QTRY_COMPARE_WITH_TIMEOUT(kicked.count(), 2, 20000);
    QCOMPARE(kicked.at(0).at(0).toString(), QStringLiteral("signed in elsewhere"));
    QCOMPARE(kicked.at(1).at(0).toString(), QStringLiteral("账号已停用"));
  }

  void verifyCodeRequestAndReplies() {
    EngineDouble::SetReply(_REQUEST_HTTP_SENDGET, 0, R"({"result":{"verifycode":"5566"}})");
    QSignalSpy changed(Manager(), &ImLoginManager::verifyCodeChanged);
    Manager()->sendGetVerifycode("13800000004", "+86");
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 20000);
    QCOMPARE(Manager()->verifyCode(), QStringLiteral("5566"));
    const QStringList gets = CallsNamed({"SendGet"});
    QCOMPARE(gets.size(), 1);
    // "+" arrives as "+" only when encoded.
    QVERIFY2(gets.first().contains("/navigation/user/sendcheckcode.do?mobile=13800000004"
                                   "&chkcode=LOGIN&nationcode=%2B86&transid=00"),
             qPrintable(gets.first()));
    const int id = gets.first().section('(', 1).section(',', 0, 0).toInt();
    QVERIFY(id != 0);

    // The same code again changes nothing; a foreign id, a failed reply or a reply
    // without result is not ours.
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 0, id,
                                    R"({"result":{"verifycode":"5566"}})"));
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 0, id + 1000,
                                    R"({"result":{"verifycode":"9999"}})"));
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDPOST, 0, 0,
                                    R"({"result":{"verifycode":"9999"}})"));
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 3, id,
                                    R"({"result":{"verifycode":"9999"}})"));
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 0, id, R"({"verifycode":"9999"})"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(Manager()->verifyCode(), QStringLiteral("5566"));

    // A POST reply with the same id is read as well.
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDPOST, 0, id,
                                    R"({"result":{"verifycode":"7788"}})"));
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, 20000);
    QCOMPARE(Manager()->verifyCode(), QStringLiteral("7788"));
  }

  void coinQueryUsesItsOwnDialogId() {
    Manager()->queryCurrency();
    const QStringList gets = CallsNamed({"SendGet"});
    QCOMPARE(gets.size(), 1);
    QVERIFY2(gets.first().contains("/public/info/querycurrency.do?transid=00"),
             qPrintable(gets.first()));
    QVERIFY(gets.first().endsWith("&language=zh-CN&type=quotation&)"));
    // A coin reply is not a verify code.
    const int id = gets.first().section('(', 1).section(',', 0, 0).toInt();
    const QString before = Manager()->verifyCode();
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 0, id,
                                    R"({"result":{"verifycode":"1111","params":[]}})"));
    QCOMPARE(Manager()->verifyCode(), before);
  }

  void localCheckCode() {
    EngineDouble::SetText("EncodePassword", "ENCODED");
    QCOMPARE(Manager()->getLocalCheckCode("123456"), QStringLiteral("ENCODED"));
    QCOMPARE(CallsNamed({"EncodePassword"}), QStringList{"EncodePassword(123456,,1)"});
  }

  void noPhoneOrCodeInTheOutput_data() {
    QTest::addColumn<LoginStep>("step");
    QTest::newRow("phone login") << LoginStep::PhoneLogin;
    QTest::newRow("refused phone login") << LoginStep::RefusedPhone;
    QTest::newRow("code asked for") << LoginStep::CodeAsked;
    QTest::newRow("code answered") << LoginStep::CodeAnswered;
    QTest::newRow("local check code") << LoginStep::CheckCode;
    QTest::newRow("scan confirmed") << LoginStep::ScanConfirmed;
    QTest::newRow("login succeeded") << LoginStep::LoginSucceeded;
  }

  void noPhoneOrCodeInTheOutput() {
    QFETCH(LoginStep, step);
    QStringList lines;
    {
      const OutputCapture::Capture capture;
      switch (step) {
        case LoginStep::PhoneLogin:
          Manager()->login(kPhone, "+86", kCode);
          QVERIFY(!CallsNamed({"SetMobileLogin"}).isEmpty());
          break;
        case LoginStep::RefusedPhone: {
          QSignalSpy failed(Manager(), &ImLoginManager::loginFailure);
          Manager()->login("../" + kPhone, "+86", kCode);
          QCOMPARE(failed.count(), 1);
          break;
        }
        case LoginStep::CodeAsked:
          Manager()->sendGetVerifycode(kPhone, "+86");
          QCOMPARE(CallsNamed({"SendGet"}).size(), 1);
          break;
        case LoginStep::CodeAnswered: {
          Manager()->sendGetVerifycode(kPhone, "+86");
          const QStringList gets = CallsNamed({"SendGet"});
          QCOMPARE(gets.size(), 1);
          const int id = gets.first().section('(', 1).section(',', 0, 0).toInt();
          const std::string reply =
              "{\"result\":{\"verifycode\":\"" + kDigest.toStdString() + "\"}}";
          QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_SENDGET, 0, id, reply));
          QTRY_COMPARE_WITH_TIMEOUT(Manager()->verifyCode(), kDigest, 20000);
          break;
        }
        case LoginStep::CheckCode:
          EngineDouble::SetText("EncodePassword", kDigest.toStdString());
          QCOMPARE(Manager()->getLocalCheckCode(kCode), kDigest);
          break;
        case LoginStep::ScanConfirmed: {
          QSignalSpy logging(Manager(), &ImLoginManager::logging);
          QVERIFY(ReportDelivery::Deliver(_EVENT_REPORT_QRLOGIN, 0, 0, kPhone.toStdString()));
          QTRY_COMPARE_WITH_TIMEOUT(logging.count(), 1, 20000);
          break;
        }
        case LoginStep::LoginSucceeded: {
          EngineDouble::SetText("GetMyAccount", kPhone.toStdString());
          QSignalSpy success(Manager(), &ImLoginManager::loginSuccess);
          QVERIFY(
              ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, R"({"result":{"usertype":0}})"));
          QTRY_COMPARE_WITH_TIMEOUT(success.count(), 1, 20000);
          QCOMPARE(VConfig::instance()->value("MY_ACCOUNT").toString(), kPhone);
          break;
        }
      }
      lines = capture.lines();
    }
    // The step said what it did: lines were written, without the secrets.
    QVERIFY(!lines.isEmpty());
    for (const QString& line : lines) {
      for (const QString& secret : {kPhone, kCode, kDigest})
        QVERIFY2(!line.contains(secret), qPrintable(line));
    }
  }

  void everyQrCodeStartsItsOwnPoll() {
    const QString first = Manager()->getQRcodeString();
    const QString second = Manager()->getQRcodeString();
    QVERIFY(first != second);
    const QStringList polls = CallsNamed({"GetQRUserInfo"});
    QCOMPARE(polls.size(), 2);
    const QString device = Manager()->deviceId();
    for (int i = 0; i < 2; ++i) {
      const QString shown = i == 0 ? first : second;
      const QString query = shown.mid(shown.indexOf('?'));
      QVERIFY2(query.startsWith("?auid=00") && query.endsWith("&device=" + device),
               qPrintable(shown));
      QVERIFY2(polls.at(i).contains("/navigation/qrcode/getuserinfo.do" + query),
               qPrintable(polls.at(i)));
    }
  }

  // Run alone with TESMO_SERVER set as well (see the CMake list): then every host
  // of the deployment is that server.
  void deploymentHostsFollowTheServer() {
    const bool overridden = !qEnvironmentVariableIsEmpty("TESMO_SERVER");
    QCOMPARE(Ui()->serverOverridden(), overridden);
    const QString host =
        overridden ? Ui()->serverHost() + ":" + QString::number(Ui()->serverPort()) : QString();
    const QString shown = Manager()->getQRcodeString();
    const QString downloadHost = overridden ? host : "www.tesmochat.com";
    QVERIFY2(shown.startsWith("https://" + downloadHost + "/down/#/tesmochat?auid="),
             qPrintable(shown));
    Manager()->downAppCfg();
    const QStringList downloads = CallsNamed({"DownloadFile"});
    QCOMPARE(downloads.size(), 1);
    const QString cfgHost = overridden ? host : "cfg.tesmochat.com";
    QVERIFY2(downloads.first().contains(",https://" + cfgHost + "/bit/app.cfg,"),
             qPrintable(downloads.first()));
    if (overridden) {
      m_ping.clearCalls();
      QCOMPARE(Manager()->getCurrentProUrl(), host);
      QCOMPARE(lookedUp(), host);
      QVERIFY(m_ping.calls().isEmpty());
      QCOMPARE(VGlobal::probeHost(), Ui()->serverHost());
    }
  }

  void webHostFromTheConfiguration_data() {
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("reachable");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("pings");
    const QString two = R"({"mac_domain":{"pro_host":["a.test","b.test"]}})";
    QTest::newRow("no file") << false << two << "a.test"
                             << "" << 0;
    QTest::newRow("not decodable") << true << ""
                                   << "a.test"
                                   << "" << 0;
    QTest::newRow("no domain") << true << R"({"other":1})"
                               << "a.test"
                               << "" << 0;
    QTest::newRow("null hosts") << true << R"({"mac_domain":{"pro_host":null}})"
                                << ""
                                << "" << 0;
    QTest::newRow("empty hosts") << true << R"({"mac_domain":{"pro_host":[]}})"
                                 << ""
                                 << "" << 0;
    QTest::newRow("first answers") << true << two << "a.test b.test"
                                   << "a.test" << 1;
    QTest::newRow("second answers") << true << two << "b.test"
                                    << "b.test" << 2;
    QTest::newRow("none answers") << true << two << ""
                                  << "web.tesmochat.com" << 2;
  }

  void webHostFromTheConfiguration() {
    if (Ui()->serverOverridden()) QSKIP("the server's own host is the web host");
    QFETCH(bool, file);
    QFETCH(QString, config);
    QFETCH(QString, reachable);
    QFETCH(QString, expected);
    QFETCH(int, pings);
    const QString path = DataBase() + "/app.cfg";
    QFile::remove(path);
    if (file) {
      QDir().mkpath(DataBase());
      QFile cfg(path);
      QVERIFY(cfg.open(QIODevice::WriteOnly));
      cfg.write("ENCRYPTED");
    }
    EngineDouble::SetText("GetAppCfgString", config.toStdString());
    m_ping.set(StubPing::Mode::Hosts, reachable);
    m_ping.clearCalls();
    QCOMPARE(Manager()->getCurrentProUrl(), expected);
    QCOMPARE(m_ping.calls().size(), pings);
    // The web tab's look-up answers the same.
    m_ping.clearCalls();
    EngineDouble::Reset();
    EngineDouble::SetText("GetAppCfgString", config.toStdString());
    QCOMPARE(lookedUp(), expected);
    QCOMPARE(m_ping.calls().size(), pings);
    QCOMPARE(CallsNamed({"GetAppCfgString"}).size(), file ? 1 : 0);
    if (file)
      QCOMPARE(CallsNamed({"GetAppCfgString"}).first(),
               QStringLiteral("GetAppCfgString(ENCRYPTED)"));
    m_ping.set(StubPing::Mode::Reachable);
  }

  // The web tab's look-up never holds the GUI thread: it returns while its probe
  // still waits for an answer, and the host comes later, once, as a signal.
  void webHostLookUpRunsOffTheGuiThread() {
    if (Ui()->serverOverridden()) QSKIP("the server's own host is the web host");
    QDir().mkpath(DataBase());
    QFile cfg(DataBase() + "/app.cfg");
    QVERIFY(cfg.open(QIODevice::WriteOnly));
    cfg.write("ENCRYPTED");
    cfg.close();
    EngineDouble::SetText("GetAppCfgString", R"({"mac_domain":{"pro_host":["a.test","b.test"]}})");
    m_ping.set(StubPing::Mode::Gated);
    m_ping.closeGate();
    m_ping.clearCalls();
    QSignalSpy ready(Manager(), &ImLoginManager::currentProUrlReady);
    Manager()->lookUpCurrentProUrl();
    QTRY_VERIFY_WITH_TIMEOUT(!m_ping.calls().isEmpty(), 10000);
    QCOMPARE(ready.count(), 0);
    m_ping.openGate();
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1, 10000);
    // The first host, unless a loaded machine let its probe run out of time.
    const QString host = ready.first().first().toString();
    QVERIFY2(QStringList({"a.test", "b.test", "web.tesmochat.com"}).contains(host),
             qPrintable(host));
    m_ping.set(StubPing::Mode::Reachable);
  }

  // Run with TESMO_SERVER set (see the CMake list): a test deployment may name a
  // whole web address on its own host, which the web tab then loads as it is.
  void webPageOfATestDeployment_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<bool>("own");
    QTest::newRow("plain page on its host")
        << R"({"mac_domain":{"pro_host":["http://127.0.0.1:8123/web/"]}})" << true;
    QTest::newRow("a host name") << R"({"mac_domain":{"pro_host":["a.test"]}})" << false;
    QTest::newRow("another host") << R"({"mac_domain":{"pro_host":["http://a.test:8123/web/"]}})"
                                  << false;
    QTest::newRow("not a web address")
        << R"({"mac_domain":{"pro_host":["ftp://127.0.0.1/x"]}})" << false;
    QTest::newRow("no hosts") << R"({"mac_domain":{}})" << false;
  }

  void webPageOfATestDeployment() {
    if (!Ui()->serverOverridden()) QSKIP("needs TESMO_SERVER");
    QFETCH(QString, config);
    QFETCH(bool, own);
    QDir().mkpath(DataBase());
    QFile cfg(DataBase() + "/app.cfg");
    QVERIFY(cfg.open(QIODevice::WriteOnly));
    cfg.write("ENCRYPTED");
    cfg.close();
    EngineDouble::SetText("GetAppCfgString", config.toStdString());
    m_ping.clearCalls();
    const QString host = Ui()->serverHost() + ":" + QString::number(Ui()->serverPort());
    const QString expected = own ? QStringLiteral("http://127.0.0.1:8123/web/") : host;
    QCOMPARE(Manager()->getCurrentProUrl(), expected);
    QCOMPARE(lookedUp(), expected);
    QVERIFY(m_ping.calls().isEmpty());
    QFile::remove(DataBase() + "/app.cfg");
  }

 private:
  // The answer of the web tab's look-up.
  static QString lookedUp() {
    QSignalSpy ready(Manager(), &ImLoginManager::currentProUrlReady);
    Manager()->lookUpCurrentProUrl();
    if (!ready.wait(10000) || ready.count() != 1) return QStringLiteral("<no single answer>");
    return ready.first().first().toString();
  }
};

TESMO_CLIENT_TEST_MAIN(TestImLoginManager)
#include "tst_imloginmanager.moc"
