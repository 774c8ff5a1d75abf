#ifndef TESMO_CLIENT_SHELL_QZXING_H
#define TESMO_CLIENT_SHELL_QZXING_H

#include <QImage>
#include <QObject>
#include <QString>

class QQmlEngine;

// QR codes for the QML pages: the QML type "QZXing" 2.3 and the image provider
// "QZXing" ("image://QZXing/encode/<text>?correctionLevel=L&format=qrcode").
class QZXing : public QObject {
  Q_OBJECT

 public:
  enum EncodeErrorCorrectionLevel {
    EncodeErrorCorrectionLevel_L = 0,
    EncodeErrorCorrectionLevel_M,
    EncodeErrorCorrectionLevel_Q,
    EncodeErrorCorrectionLevel_H
  };
  Q_ENUM(EncodeErrorCorrectionLevel)

  explicit QZXing(QObject* parent = nullptr);

  static void registerQMLTypes();
  static void registerQMLImageProvider(QQmlEngine& engine);

  // A QR code of the UTF-8 text, as near `side` pixels wide as whole pixels per
  // module allow; a null image when the text does not fit in a code.
  static QImage encodeQRCode(const QString& text, EncodeErrorCorrectionLevel level, int side);

  Q_INVOKABLE QImage encodeData(const QString& text,
                                EncodeErrorCorrectionLevel level = EncodeErrorCorrectionLevel_L);
};

#endif
