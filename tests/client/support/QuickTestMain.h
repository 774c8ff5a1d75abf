#ifndef TESMO_TESTS_CLIENT_QUICKTESTMAIN_H
#define TESMO_TESTS_CLIENT_QUICKTESTMAIN_H

// main() of the program's Qt Quick tests: the QML files of a folder run on a
// QApplication, as the program's pages do (their menus are widgets).
#include <QFont>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <vector>

#include "app/VStartup.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "support/ClientTestMain.h"

namespace ClientTest {

// Before the application object exists: the home folder, the process settings and
// the web engine.
inline void PrepareQuickTests(const QTemporaryDir& home) {
  if (home.isValid()) UseHome(home.path());
  QuietDebugOutput();
  VStartup::setProcessAttributes();
  QtWebEngine::initialize();
}

inline void SetUpQuickApplication() {
  QFont font;
  VStartup::setupApplication(font);
}

// After the last test: the engine stopped, the managers dropped and the singletons
// gone, in the program's order at exit.
template <typename Managers>
void EndQuickTests(Managers& managers) {
  ImUiInterface::instance()->releaseInterface();
  managers.clear();
  VExitCleanup::runAll();
}

inline int RunQuickTests(int argc, char** argv, const char* name, const char* folder,
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
