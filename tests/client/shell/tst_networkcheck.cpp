// The reachability probe through a stub ping on PATH, and the thread that runs it
// off the main thread.
#include <QtTest>

#include "shell/VCheckNetworkConnectionThread.h"
#include "shell/VGlobal.h"
#include "support/ClientTestMain.h"
#include "support/StubPing.h"

class TestNetworkCheck : public QObject {
  Q_OBJECT

  StubPing::Stub m_ping;

 private slots:
  void initTestCase() { QVERIFY(m_ping.valid()); }
  void init() {
    m_ping.set(StubPing::Mode::Reachable);
    m_ping.clearCalls();
  }

  void pingResult_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("reachable");
    QTest::newRow("exit 0") << int(StubPing::Mode::Reachable) << true;
    QTest::newRow("exit 1") << int(StubPing::Mode::Unreachable) << false;
    // Not finished in time is not an answer.
    QTest::newRow("hang") << int(StubPing::Mode::Hang) << false;
  }

  void pingResult() {
    QFETCH(int, mode);
    QFETCH(bool, reachable);
    m_ping.set(static_cast<StubPing::Mode>(mode));
    QCOMPARE(VGlobal::ping(QStringLiteral("probe.test")), reachable);
    QCOMPARE(m_ping.calls(), QStringList{QStringLiteral("-c 1 -W 1 -- probe.test")});
  }

  void hostIsNeverAnOption_data() {
    QTest::addColumn<QString>("host");
    QTest::newRow("dash") << "-f";
    QTest::newRow("long option") << "--help";
    QTest::newRow("empty") << "";
  }

  void hostIsNeverAnOption() {
    QFETCH(QString, host);
    QVERIFY(!VGlobal::ping(host));
    QVERIFY(m_ping.calls().isEmpty());
  }

  void threadAnswersEachRequestInOrder() {
    VCheckNetworkConnectionThread thread;
    QSignalSpy network(&thread, &VCheckNetworkConnectionThread::networkConnectionStateChanged);
    QSignalSpy hard(&thread, &VCheckNetworkConnectionThread::hardConnectionStateChanged);
    emit thread.checkNetworkConnection();
    emit thread.checkNetworkConnection();
    QTRY_COMPARE_WITH_TIMEOUT(network.count(), 2, 20000);
    QCOMPARE(network.at(0).at(0).toBool(), true);
    QCOMPARE(network.at(1).at(0).toBool(), true);
    m_ping.set(StubPing::Mode::Unreachable);
    emit thread.checkHardConnection();
    QTRY_COMPARE_WITH_TIMEOUT(hard.count(), 1, 20000);
    QCOMPARE(hard.at(0).at(0).toBool(), false);
    QCOMPARE(network.count(), 2);
    QCOMPARE(m_ping.calls().size(), 3);
  }

  void destroyingWaitsForARunningProbe() {
    m_ping.set(StubPing::Mode::Hang);
    {
      VCheckNetworkConnectionThread thread;
      emit thread.checkNetworkConnection();
      QTRY_COMPARE_WITH_TIMEOUT(m_ping.calls().size(), 1, 20000);
    }
    // The probe gave up and the thread ended; nothing is left running.
    QCOMPARE(m_ping.calls().size(), 1);
  }
};

TESMO_CLIENT_TEST_MAIN(TestNetworkCheck)
#include "tst_networkcheck.moc"
