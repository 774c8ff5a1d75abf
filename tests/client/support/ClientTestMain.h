#ifndef TESMO_TESTS_CLIENT_CLIENTTESTMAIN_H
#define TESMO_TESTS_CLIENT_CLIENTTESTMAIN_H

// main() of the program's Qt tests: a fresh settings and data home per run, the
// program's process settings, and after the tests the same orderly exit as the
// program (engine stopped, singletons deleted while the application exists).

#include <QApplication>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QtTest>

#include "app/VStartup.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"

namespace ClientTest {

// Points the settings, data and cache homes at the given folder.
inline void UseHome(const QString& folder) {
  qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toUtf8());
  qputenv("XDG_DATA_HOME", (folder + QStringLiteral("/data")).toUtf8());
  qputenv("XDG_CACHE_HOME", (folder + QStringLiteral("/cache")).toUtf8());
}

// The program logs from engine threads, but QtTest's log is not safe to write from
// other threads while a test runs; the program's debug lines stay off unless
// asked for through QT_LOGGING_RULES.
inline void QuietDebugOutput() {
  if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}

template <typename TestObject>
int Run(int argc, char** argv) {
  QTemporaryDir home;
  if (!home.isValid()) return 2;
  UseHome(home.path());
  QuietDebugOutput();
  VStartup::setProcessAttributes();
  QApplication app(argc, argv);
  int result;
  {
    TestObject test;
    result = QTest::qExec(&test, argc, argv);
  }
  ImUiInterface::instance()->releaseInterface();
  VExitCleanup::runAll();
  return result;
}

}  // namespace ClientTest

#define TESMO_CLIENT_TEST_MAIN(TestObject) \
  int main(int argc, char** argv) { return ClientTest::Run<TestObject>(argc, argv); }

#endif
