// The program TesmoChat: start-up, the event loop and an orderly exit.
#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QSharedPointer>
#include <QtWebEngine>

#include "shell/ImCreateClassManager.h"
#include "shell/VCrashDump.h"
#include "shell/VStartup.h"
#include "shell/VTerminationSignals.h"

int main(int argc, char* argv[]) {
  VCrashDump::install();
  VStartup::setProcessAttributes();
  // Qt 5.15 wants the web engine set up before the application object exists.
  QtWebEngine::initialize();
  QApplication app(argc, argv);
  QFont font;
  VStartup::setupApplication(font);
  // SIGTERM and SIGINT leave the event loop like a quit from the tray menu.
  VTerminationSignals terminationSignals;

  int exitCode;
  {
    QQmlApplicationEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    exitCode = VStartup::exec(engine, VStartup::firstWindow());
    // The engine's threads stop before any window or manager goes away.
    VStartup::shutdown(classManager);
  }
  // The managers and helpers go while the application object still exists.
  VStartup::finish();
  return exitCode;
}
