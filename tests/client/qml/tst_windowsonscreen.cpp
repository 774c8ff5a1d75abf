// The login and main windows on a real (virtual) X server without a window
// manager: they show, the login code on screen decodes to exactly the text the
// login manager made, and the main window opens at its size, centred. The
// screenshots stay in the build folder for review.
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSet>
#include <QtTest>
#include <QtWebEngine>
#include <cstdlib>
#include <cstring>

#include "shell/ImCreateClassManager.h"
#include "shell/ImLoginManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VGlobal.h"
#include "shell/VStartup.h"
#include "support/ClientTestMain.h"

namespace {
const QString kPrefix = QStringLiteral("image://QZXing/encode/");
const QString kOptions = QStringLiteral("?corretionLevel=H&format=qrcode");

QImage Grab(QQuickWindow* window) {
  return window->screen()->grabWindow(window->winId()).toImage();
}

// Counts the log lines of the web host look-up while it lives: it must run only
// when the web tab is first shown.
class WebHostLookups {
 public:
  WebHostLookups() : m_debugWasOn(QLoggingCategory::defaultCategory()->isDebugEnabled()) {
    s_count = 0;
    // The tests keep debug lines off; the look-up speaks only at that level.
    QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, true);
    s_previous = qInstallMessageHandler(&WebHostLookups::handle);
  }
  ~WebHostLookups() {
    qInstallMessageHandler(s_previous);
    QLoggingCategory::defaultCategory()->setEnabled(QtDebugMsg, m_debugWasOn);
  }
  int count() const { return s_count; }

 private:
  static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The look-up's first line names the function alone.
    if (text == QLatin1String("void ImLoginManager::lookUpCurrentProUrl()")) ++s_count;
    if (s_previous && type != QtDebugMsg) s_previous(type, context, text);
  }
  const bool m_debugWasOn;
  static inline QtMessageHandler s_previous = nullptr;
  static inline int s_count = 0;
};

// A client of the X server of its own, doing what a window manager does.
class WindowSystem {
 public:
  WindowSystem() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_connection)) return;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    // Requests of windows about their state go to the root window.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
  }
  ~WindowSystem() { xcb_disconnect(m_connection); }

  bool valid() const { return !xcb_connection_has_error(m_connection) && m_root != 0; }

  xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
  }

  // What the close button of a window frame sends.
  void deleteWindow(WId window) {
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window);
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(m_connection);
  }

  // Whether a window asked to be marked as wanting attention since forgetRequests().
  bool askedForAttention(WId window) {
    readRequests();
    return m_askedForAttention.contains(xcb_window_t(window));
  }

  void forgetRequests() {
    readRequests();
    m_askedForAttention.clear();
  }

 private:
  // The state changes windows asked the root window for so far.
  void readRequests() {
    // The program's own requests wait in its connection until a round trip.
    QGuiApplication::sync();
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t attention = atom("_NET_WM_STATE_DEMANDS_ATTENTION");
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
      if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        if (message->type == state && message->data.data32[0] == 1 &&
            (message->data.data32[1] == attention || message->data.data32[2] == attention))
          m_askedForAttention.insert(message->window);
      }
      free(event);
    }
  }

  xcb_connection_t* m_connection;
  xcb_window_t m_root = 0;
  QSet<xcb_window_t> m_askedForAttention;
};

// The whole screen, as a person would see it.
QImage screenShot(QQuickWindow* window) { return window->screen()->grabWindow(0).toImage(); }

void Keep(const QImage& image, const QString& name) {
  const QString folder = QStringLiteral(TESMO_ARTEFACT_DIR);
  QDir().mkpath(folder);
  image.save(folder + QLatin1Char('/') + name);
}
}  // namespace

class TestWindowsOnScreen : public QObject {
  Q_OBJECT

  QScopedPointer<QQmlEngine> m_engine;
  QSharedPointer<ImCreateClassManager> m_classes;
  QScopedPointer<QObject> m_splash;

  QQuickWindow* current() {
    return qobject_cast<QQuickWindow*>(m_splash->property("currentWindow").value<QObject*>());
  }

 private slots:
  void initTestCase() {
    if (qEnvironmentVariableIsEmpty("TESMO_SCREEN_TEST")) QSKIP("needs a virtual X server");
    QFont font;
    VStartup::setupApplication(font);
    m_engine.reset(new QQmlEngine);
    m_classes = VStartup::setupEngine(*m_engine);
    QQmlComponent component(m_engine.data(), QUrl(QStringLiteral("qrc:/qml/VSplashPage.qml")));
    m_splash.reset(component.create());
    QVERIFY2(m_splash, qPrintable(component.errorString()));
  }

  void cleanupTestCase() {
    m_splash.reset();
    if (m_classes) ImUiInterface::instance()->releaseInterface();
    m_classes.reset();
    m_engine.reset();
  }

  void loginCodeDecodesToTheManagersText() {
    QQuickWindow* login = current();
    QVERIFY(login);
    QVERIFY(QTest::qWaitForWindowExposed(login));
    auto* code = login->findChild<QQuickItem*>(QStringLiteral("qrImage"));
    QVERIFY(code);
    const QString source = code->property("source").toUrl().toString();
    // The URL keeps its host in lower case.
    QVERIFY(source.startsWith(kPrefix, Qt::CaseInsensitive));
    QVERIFY(source.endsWith(kOptions));
    const QString text =
        source.mid(kPrefix.size(), source.size() - kPrefix.size() - kOptions.size());
    QVERIFY2(text.contains(QLatin1String("auid=")) && text.size() > 60, qPrintable(text));
    QCOMPARE(code->width(), 170.0);

    QImage shot;
    ZXing::Result result;
    // Give the image provider and the first frames time to arrive.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
          shot = Grab(login);
          const QRectF area = code->mapRectToScene(QRectF(0, 0, code->width(), code->height()));
          Keep(shot, QStringLiteral("login-window.png"));
          const QImage gray = shot.copy(area.toAlignedRect().adjusted(-12, -12, 12, 12))
                                  .convertToFormat(QImage::Format_Grayscale8);
          ZXing::DecodeHints hints;
          hints.setFormats(ZXing::BarcodeFormat::QRCode);
          hints.setTryHarder(true);
          result = ZXing::ReadBarcode({gray.constBits(), gray.width(), gray.height(),
                                       ZXing::ImageFormat::Lum, gray.bytesPerLine()},
                                      hints);
          return result.isValid();
        }(),
        10000);
    Keep(shot, QStringLiteral("login-window.png"));
    QCOMPARE(QString::fromStdString(result.text()), text);
    QCOMPARE(QString::fromStdString(result.ecLevel()), QStringLiteral("H"));
  }

  void mainWindowOpensCentredAtItsSize() {
    WebHostLookups lookups;
    QPointer<QQuickWindow> login = current();
    m_classes->createPostClass();
    emit VGlobal::instance()->showIndexPage();
    QQuickWindow* main = current();
    QVERIFY(main && main != login);
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QTRY_VERIFY_WITH_TIMEOUT(login.isNull(), 10000);
    const QSize screen = main->screen()->size();
    const int side = qMin(screen.width(), screen.height());
    QCOMPARE(main->width(), qMax(915, int(0.915 * side)));
    QCOMPARE(main->height(), qMax(600, int(0.6 * side)));
    QCOMPARE(main->x(), (screen.width() - main->width()) / 2);
    QCOMPARE(main->y(), (screen.height() - main->height()) / 2);
    QTest::qWait(500);
    Keep(Grab(main), QStringLiteral("main-window.png"));
    QCOMPARE(lookups.count(), 0);
  }

  void webHostIsLookedUpOnceWhenTheWebTabIsFirstShown() {
    QQuickWindow* main = current();
    QVERIFY(main);
    WebHostLookups lookups;
    for (int tab : {2, 0, 2, 0}) {
      QVERIFY(main->setProperty("currentTab", tab));
      QCoreApplication::processEvents();
    }
    QCOMPARE(lookups.count(), 1);
  }

  // Without a compositor a transparent margin would show black: the popup's edge
  // and corners are drawn in the page's own colours.
  void settingsPopupShowsNoBlackFrame() {
    QQuickWindow* main = current();
    QVERIFY(main);
    QVERIFY(QMetaObject::invokeMethod(
        main, "openSettingsPopup",
        Q_ARG(QVariant, QVariant(QPointF(main->x() + 80, main->y() + 130)))));
    auto* popup = qobject_cast<QQuickWindow*>(main->property("__popup").value<QObject*>());
    QVERIFY(popup);
    QVERIFY(QTest::qWaitForWindowExposed(popup));
    QTest::qWait(500);
    const QImage screen = screenShot(main);
    Keep(screen, QStringLiteral("settings-popup.png"));
    // As the screen shows it: an X server without a compositor ignores alpha.
    const QImage shot = screen.copy(QRect(popup->mapToGlobal(QPoint(0, 0)), popup->size()));
    QCOMPARE(shot.size(), popup->size());
    const auto isBlack = [&shot](int x, int y) { return (shot.pixel(x, y) & 0xFFFFFF) == 0; };
    int black = 0;
    for (int x = 0; x < shot.width(); ++x)
      for (int y : {0, 1, 2, shot.height() - 3, shot.height() - 2, shot.height() - 1})
        black += isBlack(x, y);
    for (int y = 0; y < shot.height(); ++y)
      for (int x : {0, 1, 2, shot.width() - 3, shot.width() - 2, shot.width() - 1})
        black += isBlack(x, y);
    QCOMPARE(black, 0);
    QMetaObject::invokeMethod(popup, "close");
  }

  // A new message for a chat not on screen, while another window is active: the
  // main window asks the window system to mark it (the taskbar's alert).
  void newMessageAsksForAttention() {
    QQuickWindow* main = current();
    QVERIFY(main);
    WindowSystem x;
    QVERIFY(x.valid());
    QQuickWindow other;
    other.resize(100, 100);
    other.show();
    other.requestActivate();
    QTRY_VERIFY_WITH_TIMEOUT(other.isActive() && !main->isActive(), 10000);
    x.forgetRequests();
    emit VGlobal::instance()->messagesReceivedAlert();
    QTRY_VERIFY_WITH_TIMEOUT(x.askedForAttention(main->winId()), 10000);
    other.close();
    main->requestActivate();
    QTRY_VERIFY_WITH_TIMEOUT(main->isActive(), 10000);
  }

  // Nobody places dialogs on an X server without a window manager: the kick-out
  // dialog shows over the middle of the main window, not at the screen's corner.
  void kickOutDialogStandsOverTheMainWindow() {
    QQuickWindow* main = current();
    QVERIFY(main);
    auto* dialog = qobject_cast<QQuickWindow*>(main->property("kickOutDialog").value<QObject*>());
    QVERIFY(dialog);
    ImLoginManager* login =
        qobject_cast<ImLoginManager*>(m_engine->rootContext()
                                          ->contextProperty(QStringLiteral("imLoginManager"))
                                          .value<QObject*>());
    QVERIFY(login);
    emit login->recvKickOut(QStringLiteral("elsewhere"));
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QTest::qWait(500);
    Keep(screenShot(main), QStringLiteral("kick-out-dialog.png"));
    // Where the X server really put it.
    const QPoint onScreen = dialog->mapToGlobal(QPoint(0, 0));
    const QRect mainRect(main->mapToGlobal(QPoint(0, 0)), main->size());
    QVERIFY2(mainRect.contains(QRect(onScreen, dialog->size())),
             qPrintable(QStringLiteral("dialog at %1,%2").arg(onScreen.x()).arg(onScreen.y())));
    QVERIFY(qAbs(onScreen.x() + dialog->width() / 2 - mainRect.center().x()) <= 1);
    QVERIFY(qAbs(onScreen.y() + dialog->height() / 2 - mainRect.center().y()) <= 1);
    // It has the keyboard, and Return closes it, which leads back to the login window.
    QTRY_VERIFY(dialog->isActive());
    QVERIFY(dialog->activeFocusItem());
    QCOMPARE(dialog->activeFocusItem()->objectName(), QStringLiteral("kickOutOk"));
    QPointer<QQuickWindow> held = main;
    // A press alone: the dialog is gone before a release could reach it.
    QTest::keyPress(dialog, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(held.isNull(), 10000);
    QVERIFY(current() && current()->property("qrcodeLoginOnly").isValid());
  }

  // The login window after the kick-out, closed through the window system as a
  // window manager's close button does: the program quits, as by its own button.
  void loginWindowClosedByTheWindowSystemQuits() {
    QQuickWindow* login = current();
    QVERIFY(login && login->property("qrcodeLoginOnly").isValid());
    QVERIFY(QTest::qWaitForWindowExposed(login));
    WindowSystem x;
    QVERIFY(x.valid());
    QSignalSpy quit(m_engine.data(), &QQmlEngine::quit);
    x.deleteWindow(login->winId());
    QTRY_COMPARE_WITH_TIMEOUT(quit.count(), 1, 10000);
  }
};

int main(int argc, char** argv) {
  QtWebEngine::initialize();
  return ClientTest::Run<TestWindowsOnScreen>(argc, argv);
}
#include "tst_windowsonscreen.moc"
