#ifndef TESMO_CLIENT_APP_VSTARTUP_H
#define TESMO_CLIENT_APP_VSTARTUP_H

#include <QSharedPointer>
#include <QString>
#include <QUrl>
#include <functional>

class ImCreateClassManager;
class QFont;
class QQmlApplicationEngine;
class QQmlEngine;

// The steps of the program's start-up and exit, in the order main runs them.
// main owns the objects; tests run the same steps on their own engines.
class VStartup {
 public:
  // The whole program: every step below in order, with the event loop. When
  // given, `afterLoad` runs once the first window exists; the loop is entered
  // only if it returns true. Returns the loop's exit code, or -1 without a window.
  static int run(int argc, char* argv[], const std::function<bool()>& afterLoad = nullptr);

  static const QUrl& firstWindow();
  static const QString& preferredFontFamily();
  static const QString& fallbackFontFamily();

  // Before the application object: attributes and the names that select where
  // settings and account data live.
  static void setProcessAttributes();
  // The application's font; the program stays alive without windows.
  static void setupApplication(QFont& font);
  // The application's window icon: five pictures to decode and hand to the window
  // system, some 15 ms that nothing on screen needs before the first frame.
  static void setWindowIcon();
  // Sets it once the first shown window has drawn its first frame, or after
  // latestMs when none draws by then.
  static void setWindowIconAfterFirstFrame(int latestMs = kWindowIconLatestMs);
  static constexpr int kWindowIconLatestMs = 1000;
  // QR codes, the manager bootstrap (which starts the engine), the mention
  // provider, the helper objects, the stored language and the QML types.
  static QSharedPointer<ImCreateClassManager> setupEngine(QQmlEngine& engine);
  static void registerQmlTypes();
  // Loads the first window; false when it produced no root object.
  static bool loadFirstWindow(QQmlApplicationEngine& engine, const QUrl& url);
  // Loads the first window, sets the window icon after its first frame and runs
  // the event loop: the loop's exit code, or -1 without entering the loop when
  // the window produced no root object.
  static int exec(QQmlApplicationEngine& engine, const QUrl& url);
  // After the event loop: stops the engine, then lets go of the bootstrap, so
  // that no report reaches a manager being deleted.
  static void shutdown(QSharedPointer<ImCreateClassManager>& classManager);
  // Last, while the application object exists: deletes the singletons and writes
  // the settings to disk.
  static void finish();
};

#endif
