// The engine bridge against the engine test double: start-up calls, the URL
// table, and the road of reports from engine threads to the managers.
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSet>
#include <QThread>
#include <QtTest>
#include <algorithm>

#include "double/EngineDouble.h"
#include "shell/ImNotifyManager.h"
#include "shell/ImUiInterface.h"
#include "shell/UIMessage.h"
#include "support/ClientTestMain.h"

namespace {
struct Seen {
  int method;
  int status;
  int dialogID;
  int timer;
  QString arg1;
  bool onMainThread;
};

// What the managers should see: neither run reports nor flush markers.
std::vector<EngineDouble::Report> WithoutRunReports(const std::vector<EngineDouble::Report>& all) {
  std::vector<EngineDouble::Report> kept;
  for (const auto& report : all)
    if (report.code != _EVENT_REPORT_RUN && report.text != "marker") kept.push_back(report);
  return kept;
}
}  // namespace

// Stands for a manager: records what its onNotify saw.
class Receiver : public QObject {
  Q_OBJECT

 public:
  QVector<Seen> seen;

 public slots:
  void onNotify(const UIMessage* msg) {
    seen.push_back({msg->m_Method, msg->m_Status, msg->m_DialogID, msg->m_Timer, msg->m_Arg1,
                    QThread::currentThread() == qApp->thread()});
  }
};

class TestImUiInterface : public QObject {
  Q_OBJECT

 private:
  ImUiInterface* ui() { return ImUiInterface::instance(); }

  // Raises a marker on every engine worker and waits until every receiver has
  // them all: each worker keeps its own order, so what was raised before has
  // arrived too. The markers are then dropped from what the receivers saw.
  void flush(const QList<Receiver*>& receivers) {
    static int marker = 900000;
    QSet<int> markers;
    for (int worker = 0; worker < EngineDouble::kWorkerCount; ++worker) {
      markers.insert(++marker);
      EngineDouble::Raise(worker, _EVENT_REPORT_OFFLINE, 0, marker, 0, "marker");
    }
    for (Receiver* receiver : receivers) {
      auto seenAll = [&] {
        int found = 0;
        for (const Seen& seen : receiver->seen) found += markers.contains(seen.dialogID);
        return found == markers.size();
      };
      QTRY_VERIFY_WITH_TIMEOUT(seenAll(), 20000);
      receiver->seen.erase(
          std::remove_if(receiver->seen.begin(), receiver->seen.end(),
                         [&](const Seen& seen) { return seen.arg1 == QLatin1String("marker"); }),
          receiver->seen.end());
    }
  }

 private slots:
  void initTestCase() {
    ui();
    QVERIFY(QMetaType::type("const UIMessage*") != QMetaType::UnknownType);
  }

  void initInterfaceCallsTheEngineInOrder() {
    EngineDouble::Reset();
    ui()->initInterface();
    const QString dir = QCoreApplication::applicationDirPath();
    const QByteArray server = qgetenv("TESMO_SERVER");
    // ctest runs this case a second time with TESMO_SERVER=127.0.0.1:18443.
    if (!server.isEmpty()) QCOMPARE(server, QByteArray("127.0.0.1:18443"));
    const std::string serverInfo =
        server.isEmpty() ? "SetServerInfo(im.tesmochat.com,443)" : "SetServerInfo(127.0.0.1,18443)";
    const std::vector<std::string> expected = {
        "Init()",
        "SetCallBack()",
        "UseOpenssl(,,)",
        "SetHttpLog(" + (dir + "/http.log").toStdString() + ")",
        "SetNationPrefix(" + (dir + "/res/ca/NationPrefix.txt").toStdString() + ")",
        serverInfo,
        "SetDeviceType(2)",
        "Run()",
    };
    QCOMPARE(EngineDouble::Calls(), expected);
    QCOMPARE(ui()->serverPort(), server.isEmpty() ? 443 : 18443);

    // A second start changes nothing.
    ui()->initInterface();
    QCOMPARE(EngineDouble::Calls(), expected);
    QVERIFY(EngineDouble::IsRunning());
  }

  void parseServer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host and port") << "127.0.0.1:18443" << true << "127.0.0.1" << 18443;
    QTest::newRow("name and port") << "localhost:8443" << true << "localhost" << 8443;
    QTest::newRow("host only keeps 443") << "127.0.0.1" << true << "127.0.0.1" << 443;
    QTest::newRow("blanks around") << " 127.0.0.1:80 " << true << "127.0.0.1" << 80;
    QTest::newRow("port not a number") << "127.0.0.1:https" << false << "keep" << 1;
    QTest::newRow("port zero") << "127.0.0.1:0" << false << "keep" << 1;
    QTest::newRow("port too large") << "127.0.0.1:65536" << false << "keep" << 1;
    QTest::newRow("no host") << ":8443" << false << "keep" << 1;
    QTest::newRow("empty") << "" << false << "keep" << 1;
    QTest::newRow("bare IPv6") << "::1:8443" << false << "keep" << 1;
  }

  void parseServer() {
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, host);
    QFETCH(int, port);
    QString parsedHost = QStringLiteral("keep");
    int parsedPort = 1;
    QCOMPARE(ImUiInterface::parseServer(text, &parsedHost, &parsedPort), ok);
    QCOMPARE(parsedHost, host);
    QCOMPARE(parsedPort, port);
  }

  void getUrlMapsPathsToServerKinds_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");
    QTest::newRow("send code") << "/navigation/user/sendcheckcode.do"
                               << "LOGIN";
    QTest::newRow("area numbers") << "/navigation/national/areanumber.do"
                                  << "LOGIN";
    QTest::newRow("check account") << "/navigation/user/checkaccount.do"
                                   << "LOGIN";
    QTest::newRow("user detail") << "/userinfo/user/getdetail.do"
                                 << "USERSERVER";
    QTest::newRow("invite") << "/userinfo/user/sendinviesm.do"
                            << "USERSERVER";
    QTest::newRow("qr user") << "/navigation/qrcode/getuserinfo.do"
                             << "LOGIN";
    QTest::newRow("translate") << "/speech/translate/process.do"
                               << "SPEECHSERVER";
    QTest::newRow("black list") << "/userinfo/user/setblack.do"
                                << "USERSERVER";
    QTest::newRow("remark") << "/userinfo/user/setremark.do"
                            << "USERSERVER";
    QTest::newRow("search") << "/navigation/user/searchaccount.do"
                            << "LOGIN";
    QTest::newRow("currency") << "/public/info/querycurrency.do"
                              << "PUBSERVER";
    QTest::newRow("group history") << "/im/message/group/getprevhistory.do"
                                   << "IMSERVER";
  }

  void getUrlMapsPathsToServerKinds() {
    QFETCH(QString, path);
    QFETCH(QString, kind);
    ui()->initInterface();
    EngineDouble::Reset();
    EngineDouble::SetText("server:" + kind.toStdString(), "127.0.0.1:1");
    QCOMPARE(ui()->getUrl(path), QStringLiteral("https://127.0.0.1:1") + path);
    const std::vector<std::string> expected = {"CreateRequestURL(" + path.toStdString() + "," +
                                               kind.toStdString() + ")"};
    QCOMPARE(EngineDouble::Calls(), expected);
  }

  void getUrlOfUnknownPathIsEmpty_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("unknown") << "/navigation/user/nosuchthing.do";
    QTest::newRow("empty") << "";
    QTest::newRow("case differs") << "/NAVIGATION/user/sendcheckcode.do";
    QTest::newRow("trailing blank") << "/navigation/user/sendcheckcode.do ";
  }

  void getUrlOfUnknownPathIsEmpty() {
    QFETCH(QString, path);
    ui()->initInterface();
    EngineDouble::Reset();
    QCOMPARE(ui()->getUrl(path), QString());
    QVERIFY(EngineDouble::Calls().empty());
  }

  void getIPAddress() {
    QCOMPARE(QByteArray(ui()->GetIPAddress(1)), QByteArray());
    const QString address = QString::fromUtf8(ui()->GetIPAddress(0));
    QHostAddress expected(QHostAddress::LocalHost);
    for (const QHostAddress& candidate : QNetworkInterface::allAddresses()) {
      if (candidate.protocol() == QAbstractSocket::IPv4Protocol &&
          candidate != QHostAddress(QHostAddress::LocalHost)) {
        expected = candidate;
        break;
      }
    }
    QCOMPARE(address, expected.toString());
    QCOMPARE(QHostAddress(address).protocol(), QAbstractSocket::IPv4Protocol);
  }

  // Reports raised on two engine threads reach every receiver on the main thread,
  // whole and in the order the engine's callback received them; run reports none.
  void reportsFromTwoThreadsReachEveryReceiverInOrder() {
    ui()->initInterface();
    Receiver first, second, queued;
    ImNotifyManager* notifier = ui()->notifyManager();
    connect(notifier, &ImNotifyManager::notify, &first, &Receiver::onNotify);
    connect(notifier, &ImNotifyManager::notify, &second, &Receiver::onNotify);
    connect(notifier, &ImNotifyManager::notify, &queued, &Receiver::onNotify, Qt::QueuedConnection);
    flush({&first, &second, &queued});
    first.seen.clear();
    second.seen.clear();
    queued.seen.clear();
    EngineDouble::Reset();
    QTRY_COMPARE_WITH_TIMEOUT(UIMessage::liveCount(), 0, 20000);

    constexpr int kReports = 400;
    for (int i = 0; i < kReports; ++i) {
      const int code = i % 10 == 3 ? int(_EVENT_REPORT_RUN) : int(_REQUEST_HTTP_SENDGET);
      const std::string text = i % 7 == 0 ? std::string() : "{\"n\":" + std::to_string(i) + "}";
      EngineDouble::Raise(i % 2, code, i % 3, 20000 + i, i * 5, text);
    }
    QVERIFY(EngineDouble::WaitDelivered(kReports));
    const std::vector<EngineDouble::Report> expected = WithoutRunReports(EngineDouble::Delivered());
    QCOMPARE(int(expected.size()), kReports - kReports / 10);
    for (Receiver* receiver : {&first, &second, &queued}) {
      QTRY_COMPARE_WITH_TIMEOUT(receiver->seen.size(), int(expected.size()), 20000);
      for (size_t i = 0; i < expected.size(); ++i) {
        const Seen& seen = receiver->seen.at(int(i));
        QCOMPARE(seen.method, expected[i].code);
        QCOMPARE(seen.status, expected[i].a);
        QCOMPARE(seen.dialogID, expected[i].id);
        QCOMPARE(seen.timer, expected[i].b);
        QCOMPARE(seen.arg1, QString::fromStdString(expected[i].text));
        QVERIFY(seen.onMainThread);
      }
    }
    QTRY_COMPARE_WITH_TIMEOUT(UIMessage::liveCount(), 0, 20000);
  }

  void runReportProducesNoRecord() {
    ui()->initInterface();
    Receiver receiver;
    connect(ui()->notifyManager(), &ImNotifyManager::notify, &receiver, &Receiver::onNotify);
    EngineDouble::Raise(1, _EVENT_REPORT_RUN, 0, 0, 0, "");
    EngineDouble::Raise(0, _EVENT_REPORT_RUN, 0, 0, 0, "run");
    flush({&receiver});
    QCOMPARE(receiver.seen.size(), 0);
  }

  void emptyAndUtf8TextsAreDelivered_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("json") << QByteArray("{\"result\":{}}") << QStringLiteral("{\"result\":{}}");
    QTest::newRow("utf-8") << QByteArray("\xe4\xbd\xa0\xe5\xa5\xbd \xed\x95\x9c")
                           << QString::fromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd \xed\x95\x9c");
  }

  void emptyAndUtf8TextsAreDelivered() {
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    ui()->initInterface();
    Receiver receiver;
    connect(ui()->notifyManager(), &ImNotifyManager::notify, &receiver, &Receiver::onNotify);
    EngineDouble::Raise(1, _EVENT_REPORT_FRIENDNOTIFY, 0, 0, 0, text.toStdString());
    flush({&receiver});
    QCOMPARE(receiver.seen.size(), 1);
    QCOMPARE(receiver.seen.first().method, int(_EVENT_REPORT_FRIENDNOTIFY));
    QCOMPARE(receiver.seen.first().arg1, expected);
  }

  // Records not yet delivered when the engine stops are freed, not leaked.
  void undeliveredRecordsAreFreedOnRelease() {
    ui()->initInterface();
    QTRY_COMPARE_WITH_TIMEOUT(UIMessage::liveCount(), 0, 20000);
    EngineDouble::Reset();
    constexpr int kReports = 50;
    for (int i = 0; i < kReports; ++i)
      EngineDouble::Raise(i % 2, _REQUEST_HTTP_SENDPOST, 0, i, 0, "pending");
    // No event processing here: the records wait in the main thread's queue.
    QVERIFY(EngineDouble::WaitDelivered(kReports));
    QCOMPARE(UIMessage::liveCount(), kReports);
    ui()->releaseInterface();
    QCOMPARE(UIMessage::liveCount(), 0);
    QVERIFY(!EngineDouble::IsRunning());
  }
};

TESMO_CLIENT_TEST_MAIN(TestImUiInterface)
#include "tst_imuiinterface.moc"
