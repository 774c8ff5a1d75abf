// The program's whole run; kept apart so that only the programs link the web engine.
#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QSharedPointer>
#include <QtWebEngine>

#include "shell/ImCreateClassManager.h"
#include "shell/VCrashDump.h"
#include "shell/VPrivateFiles.h"
#include "shell/VStartup.h"
#include "shell/VTerminationSignals.h"

int VStartup::run(int argc, char* argv[], const std::function<bool()>& afterLoad) {
  // The names first: they select the data folder the crash dump goes to.
  setProcessAttributes();
  VCrashDump::install();
  VPrivateFiles::protectProgramFolders();
  // Qt 5.15 wants the web engine set up before the application object exists.
  QtWebEngine::initialize();
  QApplication app(argc, argv);
  QFont font;
  setupApplication(font);
  // SIGTERM and SIGINT leave the event loop like a quit from the tray menu.
  VTerminationSignals terminationSignals;

  int exitCode = -1;
  {
    QQmlApplicationEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = setupEngine(engine);
    if (loadFirstWindow(engine, firstWindow()) && (!afterLoad || afterLoad())) {
      setWindowIconAfterFirstFrame();
      exitCode = QApplication::exec();
    }
    // The engine's threads stop before any window or manager goes away.
    shutdown(classManager);
  }
  // The managers and helpers go while the application object still exists.
  finish();
  return exitCode;
}
