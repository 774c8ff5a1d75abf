// Screen capture: cropping in device pixels, the clipboard and the temporary
// picture, the choice of screen. With TESMO_GRAB_TEST set (under a real X server) a
// window of a known colour is grabbed from the screen.
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QtTest>

#include "shell/VClipboard.h"
#include "shell/VScreenImage.h"
#include "support/ClientTestMain.h"

namespace {

// Each pixel's colour tells its position: red = x, green = y.
QImage PositionImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 7));
  return image;
}

class SolidWindow : public QRasterWindow {
 public:
  explicit SolidWindow(QColor colour) : m_colour(colour) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(QRect(QPoint(0, 0), size()), m_colour);
  }

 private:
  QColor m_colour;
};

}  // namespace

class TestVScreenImage : public QObject {
  Q_OBJECT

 private slots:
  void captureCropsInDevicePixels() {
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    VScreenImage::setScreenImage(PositionImage(400, 300));
    VScreenImage item;
    item.setCurrentScreenIndex(0);
    VScreenImage::setScreenImage(PositionImage(400, 300));  // the offscreen grab is blank
    QVERIFY(item.capture(QRect(10, 10, 100, 50)));
    const QImage crop = VScreenImage::capturedImage();
    QCOMPARE(crop.size(), QSize(int(100 * ratio), int(50 * ratio)));
    QCOMPARE(qRed(crop.pixel(0, 0)), int(10 * ratio));
    QCOMPARE(qGreen(crop.pixel(0, 0)), int(10 * ratio));
    QCOMPARE(VClipboard::instance()->image().size(), crop.size());
    QCOMPARE(item.pixelRgb(30, 40), (QList<int>{30, 40, 7}));
    QCOMPARE(item.pixelRgb(-1, 5000), (QList<int>{0, 0, 0}));
  }

  void nothingToCropLeavesTheClipboardAlone() {
    VScreenImage item;
    VClipboard::instance()->setText(QStringLiteral("keep"));
    VScreenImage::setScreenImage(QImage());
    QVERIFY(!item.capture(QRect(0, 0, 10, 10)));
    VScreenImage::setScreenImage(PositionImage(50, 50));
    QVERIFY(!item.capture(QRect(5, 5, 0, 10)));
    QVERIFY(VScreenImage::capturedImage().isNull());
    QCOMPARE(VClipboard::instance()->text(), QStringLiteral("keep"));
    QCOMPARE(item.captureConfirmed(), QString());
  }

  void confirmedTwiceWritesTwoFiles() {
    VScreenImage item;
    VScreenImage::setScreenImage(PositionImage(64, 64));
    QVERIFY(item.capture(QRect(0, 0, 16, 16)));
    const QString first = item.captureConfirmed();
    const QString second = item.captureConfirmed();
    QVERIFY(!first.isEmpty());
    QVERIFY(!second.isEmpty());
    QVERIFY(first != second);
    QCOMPARE(QImage(first).size(), QImage(second).size());
  }

  void screenIndexOutOfRangeIsSafe() {
    VScreenImage item;
    for (int index : {-5, 1, 99, 0}) {
      item.updateScreenImage(index);
      QVERIFY(VScreenImage::currentScreenIndex() >= 0);
      QVERIFY(VScreenImage::currentScreenIndex() < QGuiApplication::screens().size());
    }
    item.setCurrentScreenIndex(1000);
    QCOMPARE(VScreenImage::currentScreenIndex(),
             QGuiApplication::screens().indexOf(QGuiApplication::primaryScreen()));
    const QRect first = QGuiApplication::screens().first()->geometry();
    QCOMPARE(item.positionScreenGeometry(first.center().x(), first.center().y()), first);
    // A point on no screen selects the last one.
    QCOMPARE(item.positionScreenGeometry(-100000, -100000),
             QGuiApplication::screens().last()->geometry());
  }

  void realGrabSeesAWindowOfKnownColour() {
    if (qEnvironmentVariableIsEmpty("TESMO_GRAB_TEST")) QSKIP("needs a real X server");
    SolidWindow window(QColor(10, 200, 30));
    window.setGeometry(50, 60, 200, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(300);
    VScreenImage item;
    const QRect geometry = item.positionScreenGeometry(100, 100);
    QVERIFY(geometry.contains(100, 100));
    const QPoint inside = window.geometry().center() - geometry.topLeft();
    QCOMPARE(item.pixelRgb(inside.x(), inside.y()), (QList<int>{10, 200, 30}));
  }
};

TESMO_CLIENT_TEST_MAIN(TestVScreenImage)
#include "tst_vscreenimage.moc"
