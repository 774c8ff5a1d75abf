// QML tests of the conversation page under Qt Quick Test, with the program's
// context properties, types and image providers in place, real message items
// (ImMsgEntity) made from maps, pictures on disk and a clipboard to fill.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QUrl>
#include <QtQuickTest>
#include <QtWebEngine>

#include "app/ImCreateClassManager.h"
#include "app/VStartup.h"
#include "conversations/ImMsgEntity.h"
#include "shell/ImUiInterface.h"
#include "shell/VExitCleanup.h"
#include "support/ClientTestMain.h"
#include "support/QuickTestMain.h"

class ConversationFixture : public QObject {
  Q_OBJECT

 public:
  explicit ConversationFixture(const QString& folder) : m_folder(folder) {}

  // A message item as the chat reports make them; QML owns it.
  Q_INVOKABLE QObject* message(const QVariantMap& data) {
    auto* item = new ImMsgEntity(data);
    QQmlEngine::setObjectOwnership(item, QQmlEngine::JavaScriptOwnership);
    return item;
  }

  // A picture file of the given size in a folder whose name needs escaping.
  Q_INVOKABLE QString picture(const QString& name, int width, int height) {
    QDir().mkpath(m_folder);
    const QString path = m_folder + QLatin1Char('/') + name;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(path);
    return path;
  }

  // A one-pixel GIF file.
  Q_INVOKABLE QString gif(const QString& name) {
    static const unsigned char kGif[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    QDir().mkpath(m_folder);
    const QString path = m_folder + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
      file.write(reinterpret_cast<const char*>(kGif), sizeof kGif);
    return path;
  }

  Q_INVOKABLE QString textFile(const QString& name) {
    QDir().mkpath(m_folder);
    const QString path = m_folder + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("text");
    return path;
  }

  Q_INVOKABLE QString folder() const { return m_folder; }

  // The clipboard with exactly these formats (empty ones left out).
  Q_INVOKABLE void setClipboard(const QString& html, const QStringList& urls, const QString& text,
                                int imageSide) {
    auto* data = new QMimeData;
    if (!html.isEmpty()) data->setHtml(html);
    if (!urls.isEmpty()) {
      QList<QUrl> list;
      for (const QString& url : urls) list << QUrl(url);
      data->setUrls(list);
    }
    if (!text.isEmpty()) data->setText(text);
    if (imageSide > 0) {
      QImage image(imageSide, imageSide, QImage::Format_RGB32);
      image.fill(Qt::red);
      data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data);
  }

 private:
  QString m_folder;
};

class ConversationSetup : public QObject {
  Q_OBJECT

 public:
  ConversationSetup() : m_fixture(m_home.path() + QStringLiteral("/pictures/a b#c%d")) {
    // Runs before the application object exists.
    ClientTest::PrepareQuickTests(m_home);
  }

 public slots:
  void applicationAvailable() { ClientTest::SetUpQuickApplication(); }

  void qmlEngineAvailable(QQmlEngine* engine) {
    auto manager = VStartup::setupEngine(*engine);
    manager->createPostClass();
    m_managers.append(manager);
    engine->rootContext()->setContextProperty(QStringLiteral("conversationFixture"), &m_fixture);
  }

  void cleanupTestCase() { ClientTest::EndQuickTests(m_managers); }

 private:
  QTemporaryDir m_home;
  ConversationFixture m_fixture;
  QList<QSharedPointer<ImCreateClassManager>> m_managers;
};

int main(int argc, char** argv) {
  QTEST_SET_MAIN_SOURCE_PATH
  ConversationSetup setup;
  return ClientTest::RunQuickTests(argc, argv, "tesmochat_conversation_qml", QUICK_TEST_SOURCE_DIR,
                                   &setup);
}

#include "tst_conversationqml.moc"
