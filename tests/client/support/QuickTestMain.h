#ifndef TESMO_TESTS_CLIENT_QUICKTESTMAIN_H
#define TESMO_TESTS_CLIENT_QUICKTESTMAIN_H

// main() of the program's Qt Quick tests: the setup object prepares the process
// before the application exists, and the tests run on QApplication like the
// program (its menus are widgets).

#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <vector>

#include "shell/VStartup.h"
#include "support/ClientTestMain.h"

namespace ClientTest {

// Before the application object: a fresh home, quiet debug output, the program's
// process settings and the web engine.
inline void PrepareQuickTest(const QTemporaryDir& home) {
  if (home.isValid()) UseHome(home.path());
  QuietDebugOutput();
  VStartup::setProcessAttributes();
  QtWebEngine::initialize();
}

// Runs every tst_*.qml file of the folder with the setup object's slots.
inline int RunQuickTest(int argc, char** argv, const char* name, const char* folder,
                        QObject* setup) {
  std::vector<char*> args(argv, argv + argc);
  static char widgets[] = "-widgets";
  args.push_back(widgets);
  const int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  return quick_test_main_with_setup(count, args.data(), name, folder, setup);
}

}  // namespace ClientTest

#endif
