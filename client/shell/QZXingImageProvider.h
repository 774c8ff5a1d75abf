#ifndef TESMO_CLIENT_SHELL_QZXINGIMAGEPROVIDER_H
#define TESMO_CLIENT_SHELL_QZXINGIMAGEPROVIDER_H

#include <QQuickImageProvider>

#include "shell/QZXing.h"

// Serves "image://QZXing/encode/<text>" as a QR code. Options may follow the text
// after its last "?" ("correctionLevel" or the pages' "corretionLevel" L/M/Q/H,
// "format" qrcode); they are never encoded into the code.
class QZXingImageProvider : public QQuickImageProvider {
 public:
  QZXingImageProvider();

  QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

  struct Request {
    bool valid = false;
    QString text;
    QZXing::EncodeErrorCorrectionLevel level = QZXing::EncodeErrorCorrectionLevel_L;
  };
  // Splits an id ("encode/<text>[?<options>]") into the text and its options.
  static Request parse(const QString& id);
};

#endif
