// The QR-code image provider: what it draws decodes to exactly the text, with
// the options split off and never encoded.
#include <ZXing/DecodeHints.h>
#include <ZXing/ImageView.h>
#include <ZXing/ReadBarcode.h>

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QtTest>

#include "shell/QZXing.h"
#include "shell/QZXingImageProvider.h"
#include "support/ClientTestMain.h"

namespace {
struct Decoded {
  bool ok = false;
  QString text;
  QString level;
};

Decoded Decode(const QImage& image) {
  Decoded decoded;
  if (image.isNull()) return decoded;
  const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
  const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(),
                              ZXing::ImageFormat::Lum, gray.bytesPerLine());
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  hints.setTryHarder(true);
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  decoded.ok = result.isValid();
  decoded.text = QString::fromStdString(result.text());
  decoded.level = QString::fromStdString(result.ecLevel());
  return decoded;
}

const QString kChinese =
    QString::fromUtf8("\xe7\x99\xbb\xe5\xbd\x95\xe4\xba\x8c\xe7\xbb\xb4\xe7\xa0\x81");
}  // namespace

class TestQZXing : public QObject {
  Q_OBJECT

 private slots:
  void providerDrawsTheTextWithoutItsOptions_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("level");
    const QString login = QStringLiteral("tesmo-login-5f3a9c0e27d14b6a");
    QTest::newRow("login page options")
        << "encode/" + login + "?corretionLevel=L&format=qrcode" << login << "L";
    QTest::newRow("correct spelling") << "encode/" + login + "?correctionLevel=H" << login << "H";
    QTest::newRow("level M, format first")
        << "encode/" + login + "?format=qrcode&corretionLevel=M" << login << "M";
    QTest::newRow("level Q lower case") << "encode/abc?correctionLevel=q"
                                        << "abc"
                                        << "Q";
    QTest::newRow("no options") << "encode/" + login << login << "L";
    QTest::newRow("question mark in text") << "encode/https://127.0.0.1/qr?key=abc&n=1"
                                           << "https://127.0.0.1/qr?key=abc&n=1"
                                           << "L";
    QTest::newRow("text query then options")
        << "encode/https://127.0.0.1/qr?key=abc?corretionLevel=L&format=qrcode"
        << "https://127.0.0.1/qr?key=abc"
        << "L";
    QTest::newRow("unknown level keeps L") << "encode/abc?corretionLevel=Z"
                                           << "abc"
                                           << "L";
    QTest::newRow("chinese") << "encode/" + kChinese + "?corretionLevel=L&format=qrcode" << kChinese
                             << "L";
    QTest::newRow("long") << "encode/" + QString(600, QLatin1Char('7')) + "?correctionLevel=L"
                          << QString(600, QLatin1Char('7')) << "L";
  }

  void providerDrawsTheTextWithoutItsOptions() {
    QFETCH(QString, id);
    QFETCH(QString, text);
    QFETCH(QString, level);
    QZXingImageProvider provider;
    QSize size;
    const QImage image = provider.requestImage(id, &size, QSize());
    QVERIFY(!image.isNull());
    QCOMPARE(size, image.size());
    const Decoded decoded = Decode(image);
    QVERIFY(decoded.ok);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.level, level);
  }

  void requestsItCannotServe_data() {
    QTest::addColumn<QString>("id");
    QTest::newRow("not encode") << "decode/abc";
    QTest::newRow("empty") << "";
    QTest::newRow("other format") << "encode/abc?format=aztec";
    QTest::newRow("too long for a code") << "encode/" + QString(8000, QLatin1Char('x'));
  }

  void requestsItCannotServe() {
    QFETCH(QString, id);
    QZXingImageProvider provider;
    QSize size(-1, -1);
    QVERIFY(provider.requestImage(id, &size, QSize()).isNull());
  }

  void requestedSizeIsRespected() {
    QZXingImageProvider provider;
    QSize size;
    const QImage image = provider.requestImage("encode/abc", &size, QSize(170, 170));
    QVERIFY(image.width() <= 170);
    QVERIFY(image.width() > 85);
    QCOMPARE(image.width(), image.height());
    QVERIFY(Decode(image).ok);
    // Without a wish it is large enough to stay sharp when scaled down.
    QVERIFY(provider.requestImage("encode/abc", &size, QSize()).width() >= 170);
  }

  // The whole road: a QML Image with the login page's source, drawn in a window.
  void qmlImageShowsTheCode() {
    QTemporaryDir dir;
    const QString path = dir.filePath("code.qml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // Plain literals: moc misreads a "//" inside a raw string.
    file.write(
        "import QtQuick 2.12\n"
        "Rectangle {\n"
        "  width: 300; height: 300; color: 'white'\n"
        "  property alias status: code.status\n"
        "  Image {\n"
        "    id: code\n"
        "    x: 25; y: 25; width: 250; height: 250\n"
        "    cache: false\n"
        "    source: 'image://QZXing/encode/' + codeText + '?corretionLevel=L' +\n"
        "            '&format=qrcode'\n"
        "  }\n"
        "}\n");
    file.close();
    const QString text = QStringLiteral("https://127.0.0.1/qr?key=5f3a9c");
    QQuickView view;
    QZXing::registerQMLTypes();
    QZXing::registerQMLImageProvider(*view.engine());
    view.rootContext()->setContextProperty("codeText", text);
    view.setSource(QUrl::fromLocalFile(path));
    QVERIFY(view.rootObject());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE_WITH_TIMEOUT(view.rootObject()->property("status").toInt(), 1 /* Ready */, 20000);
    Decoded decoded;
    QTRY_VERIFY_WITH_TIMEOUT(
        (decoded = Decode(view.screen()->grabWindow(view.winId()).toImage())).ok, 20000);
    QCOMPARE(decoded.text, text);
  }
};

TESMO_CLIENT_TEST_MAIN(TestQZXing)
#include "tst_qzxing.moc"
