// QML tests of the program under Qt Quick Test: each tst_*.qml file here runs
// with the program's context properties, types and image providers in place.
#include <QDir>
#include <QImage>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>
#include <vector>

#include "shell/ImCreateClassManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "shell/VStartup.h"
#include "support/ClientTestMain.h"

class QmlTestSetup : public QObject {
  Q_OBJECT

 public:
  QmlTestSetup() {
    // Runs before the application object exists.
    if (m_home.isValid()) ClientTest::UseHome(m_home.path());
    ClientTest::QuietDebugOutput();
    VStartup::setProcessAttributes();
    QtWebEngine::initialize();
  }

 public slots:
  void applicationAvailable() {
    QFont font;
    VStartup::setupApplication(font);
  }

  void qmlEngineAvailable(QQmlEngine* engine) {
    m_managers.append(VStartup::setupEngine(*engine));
    engine->rootContext()->setContextProperty(QStringLiteral("qmlFixtures"), pictures());
  }

  void cleanupTestCase() {
    ImUiInterface::instance()->releaseInterface();
    m_managers.clear();
    VExitCleanup::runAll();
  }

 private:
  // Pictures in a folder whose name needs escaping in a URL.
  QVariantMap pictures() {
    const QString folder = m_home.path() + QStringLiteral("/pictures/a b#c%d");
    QDir().mkpath(folder);
    QVariantMap paths;
    const struct {
      const char* name;
      int width;
      int height;
    } sizes[] = {{"wide", 200, 100}, {"small", 50, 60}, {"tall", 60, 200}};
    for (const auto& size : sizes) {
      const QString path = folder + QLatin1Char('/') + QLatin1String(size.name) + ".png";
      QImage image(size.width, size.height, QImage::Format_RGB32);
      image.fill(Qt::darkCyan);
      image.save(path);
      paths.insert(QLatin1String(size.name), path);
    }
    paths.insert(QStringLiteral("folder"), folder);
    return paths;
  }

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
