// The program's whole run; kept apart so that only the programs link the web engine.
#include <malloc.h>

#include <QApplication>
#include <QFont>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSharedPointer>
#include <QTimer>
#include <QtWebEngine>
#include <memory>

#include "shell/ImCreateClassManager.h"
#include "shell/VCrashDump.h"
#include "shell/VStartup.h"
#include "shell/VTerminationSignals.h"

namespace {

// Start-up frees much of what it allocated (parsing, images read, the first
// frame's scratch space); glibc keeps freed heap mapped unless asked.
constexpr int kTrimDelayMs = 2000;

// Hands the freed heap back to the system a moment after the first window's
// first frame, when the start-up work that follows it is done.
void TrimHeapAfterFirstFrame() {
  for (QWindow* window : QGuiApplication::topLevelWindows()) {
    auto* quick = qobject_cast<QQuickWindow*>(window);
    if (quick == nullptr || !quick->isVisible()) continue;
    // Frames queue their reports before the first is handled: only the first counts.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(
        quick, &QQuickWindow::frameSwapped, QCoreApplication::instance(),
        [connection] {
          if (!*connection) return;
          QObject::disconnect(*connection);
          QTimer::singleShot(kTrimDelayMs, [] { malloc_trim(0); });
        },
        Qt::QueuedConnection);
    return;
  }
}

}  // namespace

int VStartup::run(int argc, char* argv[], const std::function<bool()>& afterLoad) {
  VCrashDump::install();
  // Every thread that allocates (engine workers, the render thread, Qt's and the
  // web engine's pools) would otherwise get a heap arena of its own, each keeping
  // its freed memory; a few shared arenas keep the resident heap small.
  mallopt(M_ARENA_MAX, 4);
  setProcessAttributes();
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
      TrimHeapAfterFirstFrame();
      exitCode = QApplication::exec();
    }
    // The engine's threads stop before any window or manager goes away.
    shutdown(classManager);
  }
  // The managers and helpers go while the application object still exists.
  finish();
  return exitCode;
}
