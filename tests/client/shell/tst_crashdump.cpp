// Crash dumps and process signals: a child that dies of a fatal signal leaves a
// dump, the next start notes it, the upload after a login removes it only when the
// server took it; SIGTERM ends the event loop the orderly way.
#include <limits.h>
#include <signal.h>
#include <stdint.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <thread>

#include "double/EngineDouble.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VConfig.h"
#include "shell/VCrashDump.h"
#include "shell/VStartup.h"
#include "shell/VTerminationSignals.h"
#include "support/ClientTestMain.h"
#include "support/ReportDelivery.h"

namespace {
const char kCrashChild[] = "--crash-child";
const char kTermChild[] = "--term-child";
const char kSuccess[] = R"({"result":{"usertype":1}})";

// Deep enough to run off any stack; the frame keeps the compiler from looping.
int Recurse(volatile int depth) {
  if (depth == INT_MAX) return 0;
  volatile char frame[1024];
  frame[0] = static_cast<char>(depth);
  return Recurse(depth + 1) + frame[0];
}

int CrashChild(const QString& how) {
  // As the program does: the names select the data folder.
  VStartup::setProcessAttributes();
  VCrashDump::install();
  if (how == "segv") raise(SIGSEGV);
  // A write to the unmapped first page (not null itself, which the sanitizer
  // reports before the fault).
  if (how == "bad address") {
    volatile uintptr_t address = 16;
    *reinterpret_cast<volatile int*>(address) = 1;
  }
  if (how == "overflow") return Recurse(0);
  if (how == "abort") abort();
  // Threads of every kind run out of their own, smaller stacks.
  if (how == "thread overflow") {
    std::thread thread([] { Recurse(0); });
    thread.join();
  }
  if (how == "qthread overflow") {
    QScopedPointer<QThread> thread(QThread::create([] { Recurse(0); }));
    thread->start();
    thread->wait();
  }
  return 3;
}

// Mirrors the program's main: the loop ends on SIGTERM, then the orderly exit.
int TermChild(int argc, char** argv) {
  VStartup::setProcessAttributes();
  QCoreApplication app(argc, argv);
  VTerminationSignals terminationSignals;
  VConfig::instance()->setValue(QStringLiteral("TerminatedCleanly"), QString(), true);
  QTimer::singleShot(0, [] { raise(SIGTERM); });
  const int code = app.exec();
  VStartup::finish();
  return code == 0 ? 7 : 8;
}

QString Version() { return QStringLiteral("crash-test-") + QString::number(getpid()); }

void WriteDump() {
  QFile file(VCrashDump::dumpFilePath());
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("dump");
}

QStringList Uploads() {
  QStringList found;
  for (const std::string& call : EngineDouble::Calls())
    if (call.rfind("UploadDumpFile(", 0) == 0) found << QString::fromStdString(call);
  return found;
}

}  // namespace

class TestCrashDump : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    VConfig::instance()->setValue(QStringLiteral("Version"), QString(), Version());
    VConfig::flush();
    ImUiInterface::instance()->initInterface();
    ImLoginManager::instance();
  }

  void cleanupTestCase() { QFile::remove(VCrashDump::dumpFilePath()); }

  // The user's data folder, not the program's (not writable once installed).
  void dumpPathIsInTheDataFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(folder.startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/"));
    QCOMPARE(VCrashDump::dumpFilePath(), folder + "/CrashDumpFile_" + Version() + ".dmp");
    VConfig::instance()->setValue(QStringLiteral("Version"), QString(), QString());
    QCOMPARE(VCrashDump::dumpFilePath(), folder + "/CrashDumpFile_default1.dmp");
    VConfig::instance()->setValue(QStringLiteral("Version"), QString(), Version());
    VConfig::flush();
  }

  void fatalSignalLeavesADump_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("raised SIGSEGV") << "segv" << SIGSEGV;
    QTest::newRow("bad address") << "bad address" << SIGSEGV;
    QTest::newRow("stack overflow") << "overflow" << SIGSEGV;
    QTest::newRow("abort") << "abort" << SIGABRT;
    QTest::newRow("stack overflow in a thread") << "thread overflow" << SIGSEGV;
    QTest::newRow("stack overflow in a QThread") << "qthread overflow" << SIGSEGV;
  }

  void fatalSignalLeavesADump() {
    QFETCH(QString, how);
    QFETCH(int, signalNumber);
    const QString path = VCrashDump::dumpFilePath();
    QFile::remove(path);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {kCrashChild, how});
    QVERIFY(child.waitForFinished(60000));
    // The child still dies of its signal.
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QFile dump(path);
    QVERIFY2(dump.open(QIODevice::ReadOnly), qPrintable(path));
    // It holds addresses and the paths of the user's files: the user's alone.
    QCOMPARE(int(QFileInfo(path).permissions() & 0x0077), 0);
    const QString text = QString::fromUtf8(dump.readAll());
    QVERIFY2(text.contains("version: " + Version() + "\n"), qPrintable(text.left(300)));
    QVERIFY2(text.contains("signal: " + QString::number(signalNumber) + "\n"),
             qPrintable(text.left(300)));
    QVERIFY(text.contains("address: 0x"));
    QVERIFY(text.contains("backtrace:\n"));
    // The mapped modules name the program itself.
    const int modules = text.indexOf("modules:\n");
    QVERIFY(modules > 0);
    QVERIFY(text.indexOf(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), modules) >
            0);
  }

  void nextStartNotesTheDump() {
    VCrashDump::setHasCrashDumpFile(false);
    QFile::remove(VCrashDump::dumpFilePath());
    VCrashDump::install();
    QVERIFY(!VCrashDump::hasCrashDumpFile());
    WriteDump();
    VCrashDump::install();
    QVERIFY(VCrashDump::hasCrashDumpFile());
    VCrashDump::uninstall();
    // Written at the top level, not in an account's group.
    QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
    QVERIFY(raw.value(QStringLiteral("HasCrashDumpFile")).toBool());
  }

  void failedUploadKeepsTheDump() {
    EngineDouble::Reset();
    WriteDump();
    VCrashDump::setHasCrashDumpFile(true);
    EngineDouble::SetReply(_REQUEST_HTTP_UPLOADDUMP, 1, "{}");
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, kSuccess));
    QTRY_VERIFY_WITH_TIMEOUT(ReportDelivery::WasDelivered(_REQUEST_HTTP_UPLOADDUMP), 20000);
    QCoreApplication::processEvents();
    QCOMPARE(Uploads(), QStringList{"UploadDumpFile(-849663," + VCrashDump::dumpFilePath() + ")"});
    QVERIFY(QFile::exists(VCrashDump::dumpFilePath()));
    QVERIFY(VCrashDump::hasCrashDumpFile());
  }

  void foreignUploadAnswerIsNotOurs() {
    EngineDouble::Reset();
    QVERIFY(ReportDelivery::Deliver(_REQUEST_HTTP_UPLOADDUMP, 0, 12345, ""));
    QVERIFY(QFile::exists(VCrashDump::dumpFilePath()));
    QVERIFY(VCrashDump::hasCrashDumpFile());
  }

  void successfulUploadRemovesTheDumpOnce() {
    EngineDouble::Reset();
    EngineDouble::SetReply(_REQUEST_HTTP_UPLOADDUMP, 0, "{}");
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, kSuccess));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(VCrashDump::dumpFilePath()), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!VCrashDump::hasCrashDumpFile(), 20000);
    QCOMPARE(Uploads().size(), 1);
    // The next login has nothing to upload.
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, kSuccess));
    QCOMPARE(Uploads().size(), 1);
  }

  void noFlagNoUpload() {
    EngineDouble::Reset();
    WriteDump();
    VCrashDump::setHasCrashDumpFile(false);
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, kSuccess));
    QVERIFY(Uploads().isEmpty());
    // A flag without a file uploads nothing either.
    QFile::remove(VCrashDump::dumpFilePath());
    VCrashDump::setHasCrashDumpFile(true);
    QVERIFY(ReportDelivery::Deliver(_EVENT_LOGIN_SUCCESS, 0, 0, kSuccess));
    QVERIFY(Uploads().isEmpty());
    VCrashDump::setHasCrashDumpFile(false);
  }

  void sigtermEndsTheLoopInOrder() {
    VConfig::instance()->setValue(QStringLiteral("TerminatedCleanly"), QString(), false);
    VConfig::flush();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {kTermChild});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 7);
    QSettings raw(QStringLiteral("Tesmo"), QStringLiteral("Tesmo Chat"));
    QVERIFY(raw.value(QStringLiteral("TerminatedCleanly")).toBool());
  }

  void sigintEndsTheLoopInProcess() {
    VTerminationSignals terminationSignals;
    QSignalSpy received(&terminationSignals, &VTerminationSignals::received);
    QEventLoop loop;
    QTimer::singleShot(0, [] { raise(SIGINT); });
    QTimer::singleShot(20000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QCOMPARE(received.count(), 1);
    QCOMPARE(received.at(0).at(0).toInt(), SIGINT);
  }
};

int main(int argc, char** argv) {
  if (argc >= 3 && qstrcmp(argv[1], kCrashChild) == 0)
    return CrashChild(QString::fromLatin1(argv[2]));
  if (argc >= 2 && qstrcmp(argv[1], kTermChild) == 0) return TermChild(argc, argv);
  return ClientTest::Run<TestCrashDump>(argc, argv);
}

#include "tst_crashdump.moc"
