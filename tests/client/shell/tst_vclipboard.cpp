// The clipboard as QML uses it and the program's temporary pictures.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtTest>

#include "shell/VClipboard.h"
#include "support/ClientTestMain.h"

class TestVClipboard : public QObject {
  Q_OBJECT

  static VClipboard* clip() { return VClipboard::instance(); }
  static QImage Picture(QRgb colour) {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(colour);
    return image;
  }
  static QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
  }

 private slots:
  void init() {
    QDir(VClipboard::tempFolder()).removeRecursively();
    QGuiApplication::clipboard()->clear();
  }

  void htmlAfterTextKeepsBoth() {
    clip()->setText(QStringLiteral("plain"));
    clip()->setHtml(QStringLiteral("<b>rich</b>"));
    QVERIFY(clip()->hasText());
    QVERIFY(clip()->hasHtml());
    QCOMPARE(clip()->text(), QStringLiteral("plain"));
    QVERIFY(clip()->html().contains(QStringLiteral("<b>rich</b>")));
    // A file added after them keeps them too; a text replaces everything.
    clip()->setFile(QStringLiteral("/tmp/a b#c.txt"));
    QVERIFY(clip()->hasHtml());
    QCOMPARE(clip()->urls(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/a b#c.txt"))});
    QCOMPARE(clip()->urls().first().toLocalFile(), QStringLiteral("/tmp/a b#c.txt"));
    clip()->setText(QStringLiteral("only"));
    QVERIFY(!clip()->hasHtml());
    QVERIFY(!clip()->hasUrls());
  }

  void savingTheClipboardImageNeedsAnImage() {
    clip()->setText(QStringLiteral("no picture"));
    QCOMPARE(clip()->saveClipboardImageToTempDir(), QString());
    QVERIFY(Files(VClipboard::tempFolder()).isEmpty());
    clip()->setImage(Picture(qRgb(200, 10, 10)));
    QVERIFY(clip()->hasImage());
    const QString path = clip()->saveClipboardImageToTempDir();
    QVERIFY(!path.isEmpty());
    const QImage back(path);
    QCOMPARE(back.size(), QSize(16, 8));
    QVERIFY(qAbs(qRed(back.pixel(4, 4)) - 200) < 16);  // JPEG is lossy
  }

  void imagePathOfANonImageSetsANullImage() {
    QTemporaryFile text;
    QVERIFY(text.open());
    text.write("not a picture");
    text.close();
    clip()->setImagePath(text.fileName());
    QVERIFY(clip()->image().isNull());
    QCOMPARE(clip()->saveImageToTempDir(QImage()), QString());
  }

  // Saves within one millisecond must never share a file.
  void rapidSavesGetDistinctFiles() {
    QStringList paths;
    for (int i = 0; i < 20; ++i) paths << clip()->saveImageToTempDir(Picture(qRgb(i * 10, 0, 0)));
    QCOMPARE(paths.removeDuplicates(), 0);
    for (const QString& path : paths) {
      QVERIFY(!path.isEmpty());
      const QString name = QFileInfo(path).fileName();
      QVERIFY(name.startsWith(QStringLiteral("TesmoChat_tmp_")));
      QVERIFY(name.endsWith(QStringLiteral(".jpg")));
    }
    QCOMPARE(Files(VClipboard::tempFolder()).size(), 20);
  }

  void temporaryFolderIsPrivate() {
    const QFileInfo info(VClipboard::tempFolder());
    QVERIFY(info.isDir());
    QVERIFY(!info.permission(QFileDevice::ReadOther | QFileDevice::WriteOther));
    QVERIFY(!info.permission(QFileDevice::ReadGroup | QFileDevice::WriteGroup));
    // Under the user's own cache folder, not a shared temporary folder.
    QVERIFY(VClipboard::tempFolder().startsWith(qEnvironmentVariable("XDG_CACHE_HOME") + "/"));
  }

  void deleteRemovesOnlyOurPictures() {
    const QString ours = clip()->saveImageToTempDir(Picture(qRgb(1, 2, 3)));
    const QString folder = VClipboard::tempFolder();
    for (const char* name :
         {"TesmoChat_tmp_1.jpg", "other.jpg", "TesmoChat_tmp_2.png", "TesmoChat_tmp_3.jpg.keep"}) {
      QFile f(folder + QLatin1Char('/') + QLatin1String(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    clip()->deleteTempImages();
    QVERIFY(!QFileInfo::exists(ours));
    QCOMPARE(Files(folder), (QStringList{QStringLiteral("TesmoChat_tmp_2.png"),
                                         QStringLiteral("TesmoChat_tmp_3.jpg.keep"),
                                         QStringLiteral("other.jpg")}));
  }
};

TESMO_CLIENT_TEST_MAIN(TestVClipboard)
#include "tst_vclipboard.moc"
