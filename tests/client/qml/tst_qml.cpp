// The program's QML under Qt Quick Test: every page runs with the program's
// context properties, types and image providers in place, and any QML warning
// or error fails its test.
#include <QDirIterator>
#include <QMutex>
#include <QMutexLocker>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlError>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <memory>
#include <vector>

#include "double/EngineDouble.h"
#include "shell/ImCreateClassManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "shell/VStartup.h"
#include "support/ClientTestMain.h"

// Collects what the QML engine and the QML/JS log categories complain about.
class QmlWarnings : public QObject {
  Q_OBJECT

 public:
  static QmlWarnings* instance() {
    static QmlWarnings* warnings = new QmlWarnings;
    return warnings;
  }

  void add(const QString& text) {
    QMutexLocker locker(&m_mutex);
    m_seen.append(text);
  }

  Q_INVOKABLE QStringList take() {
    QMutexLocker locker(&m_mutex);
    QStringList seen;
    seen.swap(m_seen);
    return seen;
  }

  Q_INVOKABLE void clear() { take(); }

 public slots:
  void onWarnings(const QList<QQmlError>& errors) {
    for (const QQmlError& error : errors) add(error.toString());
  }

 private:
  QMutex m_mutex;
  QStringList m_seen;
};

namespace {
QtMessageHandler g_previousHandler = nullptr;

void CaptureQmlMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  const QByteArray category = context.category ? QByteArray(context.category) : QByteArray();
  const bool fromQml = category == "qml" || category == "js" || category.startsWith("qt.qml");
  if (type != QtDebugMsg && type != QtInfoMsg && fromQml)
    QmlWarnings::instance()->add(
        QStringLiteral("[%1] %2").arg(QString::fromLatin1(category), text));
  if (g_previousHandler) g_previousHandler(type, context, text);
}

QStringList ResourceQmlFiles() {
  QStringList files;
  QDirIterator it(QStringLiteral(":/qml"), {QStringLiteral("*.qml")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files << QStringLiteral("qrc") + it.next();
  files.sort();
  return files;
}
}  // namespace

class QmlTestSetup : public QObject {
  Q_OBJECT

 public:
  QmlTestSetup() {
    // Runs before the application object exists.
    if (m_home.isValid()) ClientTest::UseHome(m_home.path());
    ClientTest::QuietDebugOutput();
    VStartup::setProcessAttributes();
    QtWebEngine::initialize();
    g_previousHandler = qInstallMessageHandler(CaptureQmlMessages);
  }

 public slots:
  void applicationAvailable() {
    QFont font;
    VStartup::setupApplication(font);
  }

  void qmlEngineAvailable(QQmlEngine* engine) {
    connect(engine, &QQmlEngine::warnings, QmlWarnings::instance(), &QmlWarnings::onWarnings);
    m_managers.append(VStartup::setupEngine(*engine));
    // Pages of the signed-in program find their managers too.
    m_managers.last()->createPostClass();
    engine->rootContext()->setContextProperty(QStringLiteral("qmlFiles"), ResourceQmlFiles());
    engine->rootContext()->setContextProperty(QStringLiteral("qmlWarnings"),
                                              QmlWarnings::instance());
  }

  void cleanupTestCase() {
    ImUiInterface::instance()->releaseInterface();
    m_managers.clear();
    VExitCleanup::runAll();
  }

 private:
  QTemporaryDir m_home;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  QmlTestSetup setup;
  // The program runs on QApplication (its menus are widgets); so do its pages here.
  std::vector<char*> args(argv, argv + argc);
  static char widgets[] = "-widgets";
  args.push_back(widgets);
  const int count = static_cast<int>(args.size());
  args.push_back(nullptr);
  return quick_test_main_with_setup(count, args.data(), "tesmochat_qml", QUICK_TEST_SOURCE_DIR,
                                    &setup);
}

#include "tst_qml.moc"
