#include "shell/QZXing.h"

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <QDebug>
#include <QQmlEngine>
#include <exception>

#include "shell/QZXingImageProvider.h"

namespace {
// The quiet zone around the code, in modules.
constexpr int kMarginModules = 2;
constexpr int kDefaultSide = 240;
}  // namespace

QZXing::QZXing(QObject* parent) : QObject(parent) {}

void QZXing::registerQMLTypes() { qmlRegisterType<QZXing>("QZXing", 2, 3, "QZXing"); }

void QZXing::registerQMLImageProvider(QQmlEngine& engine) {
  engine.addImageProvider(QStringLiteral("QZXing"), new QZXingImageProvider);
}

QImage QZXing::encodeQRCode(const QString& text, EncodeErrorCorrectionLevel level, int side) {
  // The writer's error-correction scale runs 0-8, two steps per QR level.
  const int eccLevel = 1 + 2 * static_cast<int>(level);
  ZXing::BitMatrix matrix;
  try {
    ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
    writer.setEncoding(ZXing::CharacterSet::UTF8).setEccLevel(eccLevel).setMargin(kMarginModules);
    matrix = writer.encode(text.toUtf8().toStdString(), 0, 0);
  } catch (const std::exception& error) {
    qWarning() << Q_FUNC_INFO << "cannot encode:" << error.what();
    return QImage();
  }
  if (matrix.width() <= 0 || matrix.height() <= 0) return QImage();
  // Whole pixels per module keep the code crisp; the view scales the rest.
  const int scale = qMax(1, side / matrix.width());
  QImage image(matrix.width() * scale, matrix.height() * scale, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QRgb black = qRgb(0, 0, 0);
  for (int y = 0; y < matrix.height(); ++y) {
    for (int x = 0; x < matrix.width(); ++x) {
      if (!matrix.get(x, y)) continue;
      for (int dy = 0; dy < scale; ++dy) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y * scale + dy));
        for (int dx = 0; dx < scale; ++dx) line[x * scale + dx] = black;
      }
    }
  }
  return image;
}

QImage QZXing::encodeData(const QString& text, EncodeErrorCorrectionLevel level) {
  return encodeQRCode(text, level, kDefaultSide);
}
