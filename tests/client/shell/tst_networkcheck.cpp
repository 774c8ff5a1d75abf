// The reachability probe through a stub ping on PATH, and the thread that runs it
// off the main thread.
#include <QtTest>

// The system's online notifications come only from the deprecated bearer API in Qt 5.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
#include <QNetworkConfigurationManager>
QT_WARNING_POP

#include "shell/ImUiInterface.h"
#include "shell/VCheckNetworkConnectionThread.h"
#include "shell/VGlobal.h"
#include "shell/VQuietProcess.h"
#include "support/ClientTestMain.h"
#include "support/StubPing.h"

class TestNetworkCheck : public QObject {
  Q_OBJECT

  StubPing::Stub m_ping;

  // Live or unreaped children of every thread of this process.
  static QStringList childrenOfThisProcess() {
    QStringList children;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      QFile file(tasks.filePath(task + QStringLiteral("/children")));
      if (file.open(QIODevice::ReadOnly))
        children += QString::fromLatin1(file.readAll()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    return children;
  }

 private slots:
  void initTestCase() {
    QVERIFY(m_ping.valid());
    ImUiInterface::instance()->initInterface();
  }
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

  // The helper runner under the probe: exit codes, failures and the time limit.
  void quietProcessOutcome_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("exit 0") << "true" << QStringList{} << 0;
    QTest::newRow("exit 7") << "sh" << QStringList{"-c", "exit 7"} << 7;
    QTest::newRow("not on PATH") << "no-such-program-here" << QStringList{} << -1;
    QTest::newRow("killed by a signal") << "sh" << QStringList{"-c", "kill -9 $$"} << -1;
    // Its output goes nowhere, so a talkative helper never stalls on a full pipe.
    QTest::newRow("much output") << "sh" << QStringList{"-c", "head -c 4000000 /dev/zero; exit 3"} << 3;
    // Arguments reach it as they are, one each, never read by a shell.
    QTest::newRow("arguments kept whole")
        << "sh" << QStringList{"-c", "[ \"$1\" = 'a b;c' ] && [ $# -eq 1 ]", "sh", "a b;c"} << 0;
    // It sees the environment as this process has it now.
    QTest::newRow("environment") << "sh" << QStringList{"-c", "[ \"$QUIET_PROCESS_MARK\" = set ]"}
                                 << 0;
    QTest::newRow("no input") << "sh" << QStringList{"-c", "! read line"} << 0;
  }

  void quietProcessOutcome() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    qputenv("QUIET_PROCESS_MARK", "set");
    QCOMPARE(VQuietProcess::run(program, arguments, 20000), exitCode);
    QVERIFY(childrenOfThisProcess().isEmpty());
  }

  // A helper that outlives its time is killed and reaped before the call returns.
  void quietProcessOverTimeIsKilled() {
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(VQuietProcess::run(QStringLiteral("sleep"), {QStringLiteral("30")}, 300), -1);
    QVERIFY(clock.elapsed() < 10000);
    QVERIFY(childrenOfThisProcess().isEmpty());
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

  // Started while the system reports no network, the state waits for the check
  // thread's probe instead of probing on the main thread: construction returns
  // while the probe still waits at its gate (a probe of its own would have given
  // up after 2 s and read DISCONNECT). The online flag keeps the system's word.
  void startProbesOffTheMainThread_data() {
    QTest::addColumn<bool>("reachable");
    QTest::newRow("reachable") << true;
    QTest::newRow("unreachable") << false;
  }

  void startProbesOffTheMainThread() {
    QFETCH(bool, reachable);
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QVERIFY2(!QNetworkConfigurationManager().isOnline(), "the system reports a network");
    QT_WARNING_POP
    m_ping.closeGate();
    m_ping.set(reachable ? StubPing::Mode::Gated : StubPing::Mode::Unreachable);
    VGlobal global;
    auto* check = global.findChild<VCheckNetworkConnectionThread*>();
    QVERIFY(check);
    QSignalSpy answered(check, &VCheckNetworkConnectionThread::hardConnectionStateChanged);
    QSignalSpy state(&global, &VGlobal::connectionStateChanged);
    QCOMPARE(global.connectionState(), VGlobal::DISCONNECT);
    m_ping.openGate();
    QVERIFY(answered.wait(20000));
    QCOMPARE(answered.at(0).at(0).toBool(), reachable);
    QCOMPARE(global.connectionState(), reachable ? VGlobal::CONNECT : VGlobal::DISCONNECT);
    QCOMPARE(state.count(), reachable ? 1 : 0);
    QVERIFY(!global.isOnline());
    QCOMPARE(m_ping.calls().size(), 1);
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

// Without the generic bearer nothing reports a network (no network manager runs
// here): the start of VGlobal sees the system offline.
[[maybe_unused]] static const bool kNoGenericBearer = qputenv("QT_EXCLUDE_GENERIC_BEARER", "1");

TESMO_CLIENT_TEST_MAIN(TestNetworkCheck)
#include "tst_networkcheck.moc"
