// The program's own start-up, step for step as its main(), with the first
// frame of the login window reported.
#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QSharedPointer>
#include <QtWebEngine>

#include "FirstFrameProbe.h"
#include "shell/ImCreateClassManager.h"
#include "shell/VCrashDump.h"
#include "shell/VStartup.h"
#include "shell/VTerminationSignals.h"

int main(int argc, char* argv[]) {
  VCrashDump::install();
  VStartup::setProcessAttributes();
  QtWebEngine::initialize();
  QApplication app(argc, argv);
  QFont font;
  VStartup::setupApplication(font);
  VTerminationSignals terminationSignals;

  int exitCode = 1;
  {
    QQmlApplicationEngine engine;
    QSharedPointer<ImCreateClassManager> classManager = VStartup::setupEngine(engine);
    if (VStartup::loadFirstWindow(engine, VStartup::firstWindow()) && FirstFrameProbe::Watch())
      exitCode = QApplication::exec();
    VStartup::shutdown(classManager);
  }
  VStartup::finish();
  return exitCode;
}
