// QML tests of the program under Qt Quick Test: each tst_*.qml file here runs
// with the program's context properties, types and image providers in place.
#include <QDesktopServices>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QImageReader>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngine>

#include "shell/ImCreateClassManager.h"
#include "shell/ImUiInterface.h"
#include "shell/VClipboard.h"
#include "shell/VExitCleanup.h"
#include "shell/VScreenImage.h"
#include "shell/VStartup.h"
#include "support/ClientTestMain.h"
#include "support/QuickTestMain.h"

// The screen picture of the screenshot window's tests, and a look at the pictures it
// writes. Pixel (x, y) of the stub screen is (x % 256, y % 256, 7), so any crop
// tells where it came from.
class ScreenFixture : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  Q_INVOKABLE void setScreenImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 7));
    VScreenImage::setScreenImage(image);
  }

  // Size, format and the top left pixel of a picture file; an empty map when it
  // cannot be read.
  Q_INVOKABLE QVariantMap imageFile(const QString& path) const {
    QImageReader reader(path);
    const QByteArray format = reader.format();
    return describe(reader.read(), QString::fromLatin1(format));
  }

  Q_INVOKABLE QVariantMap clipboardImage() const {
    return describe(VClipboard::instance()->image(), QString());
  }

 private:
  static QVariantMap describe(const QImage& image, const QString& format) {
    if (image.isNull()) return {};
    const QRgb corner = image.pixel(0, 0);
    return {{QStringLiteral("width"), image.width()},
            {QStringLiteral("height"), image.height()},
            {QStringLiteral("format"), format},
            {QStringLiteral("corner"), QVariantList{qRed(corner), qGreen(corner), qBlue(corner)}}};
  }
};

// Takes the addresses the program hands to the system's browser.
class UrlFixture : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  Q_INVOKABLE QStringList opened() const { return m_opened; }
  Q_INVOKABLE void clear() { m_opened.clear(); }

 public slots:
  void open(const QUrl& url) { m_opened << url.toString(); }

 private:
  QStringList m_opened;
};

// Qt's file chooser as it shows: the folder it starts in.
class ChooserFixture : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  // The folder of the chooser on screen; empty when none shows.
  Q_INVOKABLE QString shownFolder() const {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QFileDialog*>(widget))
        if (dialog->isVisible()) return QDir(dialog->directory()).canonicalPath();
    return QString();
  }

  Q_INVOKABLE QString canonical(const QUrl& folder) const {
    return QDir(folder.toLocalFile()).canonicalPath();
  }

  Q_INVOKABLE QString workingFolder() const { return QDir::current().canonicalPath(); }

  Q_INVOKABLE QUrl urlOf(const QString& path) const { return QUrl::fromLocalFile(path); }

  // Cancels the chooser on screen, as its Cancel button does.
  Q_INVOKABLE void cancelShown() const {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QFileDialog*>(widget))
        if (dialog->isVisible()) dialog->reject();
  }
};

class QmlTestSetup : public QObject {
  Q_OBJECT

 public:
  QmlTestSetup() {
    // Runs before the application object exists.
    ClientTest::PrepareQuickTests(m_home);
  }

 public slots:
  void applicationAvailable() { ClientTest::SetUpQuickApplication(); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    m_managers.append(VStartup::setupEngine(*engine));
    engine->rootContext()->setContextProperty(QStringLiteral("qmlFixtures"), pictures());
    engine->rootContext()->setContextProperty(QStringLiteral("screenFixture"), &m_screen);
    for (const char* scheme : {"http", "https"})
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &m_urls, "open");
    engine->rootContext()->setContextProperty(QStringLiteral("urlFixture"), &m_urls);
    engine->rootContext()->setContextProperty(QStringLiteral("chooserFixture"), &m_chooser);
  }

  void cleanupTestCase() {
    for (const char* scheme : {"http", "https"})
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    ClientTest::EndQuickTests(m_managers);
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
  ScreenFixture m_screen;
  UrlFixture m_urls;
  ChooserFixture m_chooser;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  QmlTestSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_qml", QUICK_TEST_SOURCE_DIR, &setup);
}

#include "tst_qml.moc"
