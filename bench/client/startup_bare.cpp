// The reference of the start-up benchmark: a bare Qt Quick window of the login
// window's size, in a process that sets up the web engine as the program does.
// Given a QML file, shows that instead (to see what a part of the login window
// costs on its own). Built as startup_look, it shows the login window's look.
#include <QApplication>
#include <QQmlApplicationEngine>
#include <QtWebEngine>

#include "FirstFrameProbe.h"

int main(int argc, char* argv[]) {
  QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
  QCoreApplication::setAttribute(Qt::AA_UseSoftwareOpenGL, true);
  QtWebEngine::initialize();
  QApplication app(argc, argv);
  QQmlApplicationEngine engine;
  if (argc > 1)
    engine.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
#ifdef STARTUP_QML
  else
    engine.load(QUrl(QStringLiteral(STARTUP_QML)));
#else
  else
    engine.loadData(
        "import QtQuick 2.12\n"
        "import QtQuick.Window 2.12\n"
        "Window { width: 617; height: 434; color: \"white\"; visible: true }\n");
#endif
  if (engine.rootObjects().isEmpty() || !FirstFrameProbe::Watch()) return 1;
  return QApplication::exec();
}
