// The main window through the real engine against the local server, driven as a
// person would: the own avatar, its settings popup, the profile editor's "Local
// upload" with the picture chooser, and the new picture on the avatar after
// "Finished". Under a virtual X server the screen is kept after each step
// (artefacts/shell).
#include <xcb/xcb.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>
#include <QtQuickTest>

#include "support/OnScreenSteps.h"
#include "support/StubPing.h"

namespace {
const char kWorld[] = TESMO_TEST_DATA_DIR "/localserver-people-world.json";

// The picture chooser on screen, when one shows.
QFileDialog* ShownChooser() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* dialog = qobject_cast<QFileDialog*>(widget))
      if (dialog->isVisible()) return dialog;
  return nullptr;
}
}  // namespace

class ShellOnScreenFixture : public QObject {
  Q_OBJECT

 public:
  explicit ShellOnScreenFixture(LocalServerProcess* server) : m_server(server) {}

  Q_INVOKABLE bool serverStarted() const { return m_server->Value("TESMO_SERVER") != ""; }

  Q_INVOKABLE bool login(const QString& phone, const QString& code) {
    return m_session.login(phone, code);
  }

  Q_INVOKABLE bool shot(const QString& name) {
    return ClientTest::KeepScreen(QStringLiteral(TESMO_ARTEFACT_DIR "/shell"), name);
  }

  Q_INVOKABLE bool onScreen() const { return !qEnvironmentVariableIsEmpty("TESMO_SCREEN_TEST"); }

  // A square PNG of one colour in the user's pictures folder; its path.
  Q_INVOKABLE QString picture(const QString& name, const QColor& colour) const {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir().mkpath(folder);
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = folder + QLatin1Char('/') + name;
    return image.save(path, "PNG") ? path : QString();
  }

  // The chooser's window as shown: its title and the folder it shows; empty when
  // none shows.
  Q_INVOKABLE QVariantMap chooser() const {
    QFileDialog* dialog = ShownChooser();
    if (!dialog) return {};
    return {
        {QStringLiteral("title"), dialog->windowTitle()},
        {QStringLiteral("folder"), QDir(dialog->directory()).canonicalPath()},
        {QStringLiteral("filters"), dialog->nameFilters()},
        {QStringLiteral("exposed"), dialog->windowHandle() && dialog->windowHandle()->isExposed()}};
  }

  // Whether the chooser shows above the window, in the X server's own stacking
  // order (no window manager re-stacks anything here). Offscreen: true.
  Q_INVOKABLE bool chooserAbove(QObject* object) const {
    QFileDialog* dialog = ShownChooser();
    auto* window = qobject_cast<QWindow*>(object);
    if (!dialog || !dialog->windowHandle() || !window) return false;
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return true;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
      xcb_disconnect(connection);
      return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    int chooserAt = -1;
    int windowAt = -1;
    if (tree) {
      // Children come bottom first.
      const xcb_window_t* children = xcb_query_tree_children(tree);
      for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
        if (children[i] == dialog->windowHandle()->winId()) chooserAt = i;
        if (children[i] == window->winId()) windowAt = i;
      }
      free(tree);
    }
    xcb_disconnect(connection);
    return chooserAt >= 0 && windowAt >= 0 && chooserAt > windowAt;
  }

  Q_INVOKABLE bool cancelChooser() {
    QFileDialog* dialog = ShownChooser();
    if (!dialog) return false;
    dialog->reject();
    return true;
  }

  Q_INVOKABLE QString picturesFolder() const {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)).canonicalPath();
  }

  // Types the file's name into the chooser and presses Return, as a person does.
  Q_INVOKABLE bool choose(const QString& path) {
    QFileDialog* dialog = ShownChooser();
    auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    if (!name) return false;
    name->setFocus();
    name->clear();
    QTest::keyClicks(name, path);
    QTest::keyClick(name, Qt::Key_Return);
    return ClientTest::WaitFor([] { return ShownChooser() == nullptr; });
  }

  // The colour the screen shows at a point of the screen.
  Q_INVOKABLE QColor screenColour(int x, int y) const {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0, x, y, 1, 1).toImage().pixelColor(0, 0) : QColor();
  }

 private:
  LocalServerProcess* m_server;
  ClientTest::OnScreenSession m_session;
};

class ShellOnScreenSetup : public QObject {
  Q_OBJECT

 public:
  // The pictures folder lies in the test's own home.
  ShellOnScreenSetup() { qputenv("HOME", m_home.path().toUtf8()); }

 public slots:
  void applicationAvailable() { m_run.applicationAvailable(kWorld); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    m_run.qmlEngineAvailable(engine, [this] {
      if (!m_fixture) m_fixture.reset(new ShellOnScreenFixture(m_run.server()));
      return m_fixture.data();
    });
  }

  void cleanupTestCase() { m_run.cleanupTestCase(); }

 private:
  QTemporaryDir m_home;
  ClientTest::OnScreenRun m_run;
  // The network check finds the network up; no probe leaves the machine.
  StubPing::Stub m_ping;
  QScopedPointer<ShellOnScreenFixture> m_fixture;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  ShellOnScreenSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_shell_onscreen", QUICK_TEST_SOURCE_DIR,
                                   &setup);
}

#include "tst_shellonscreen.moc"
