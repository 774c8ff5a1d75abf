#include "shell/QZXingImageProvider.h"

#include <QDebug>
#include <QUrlQuery>

namespace {
const QString kEncodePrefix = QStringLiteral("encode/");
// Wide enough for a login code to stay sharp when the page scales it down.
constexpr int kDefaultSide = 340;

bool ParseLevel(const QString& text, QZXing::EncodeErrorCorrectionLevel* level) {
  const QString upper = text.toUpper();
  if (upper == QLatin1String("L"))
    *level = QZXing::EncodeErrorCorrectionLevel_L;
  else if (upper == QLatin1String("M"))
    *level = QZXing::EncodeErrorCorrectionLevel_M;
  else if (upper == QLatin1String("Q"))
    *level = QZXing::EncodeErrorCorrectionLevel_Q;
  else if (upper == QLatin1String("H"))
    *level = QZXing::EncodeErrorCorrectionLevel_H;
  else
    return false;
  return true;
}

bool IsOption(const QString& key) {
  return key == QLatin1String("correctionLevel") || key == QLatin1String("corretionLevel") ||
         key == QLatin1String("format");
}

// Reads "key=value&..." when every key is an option of ours; after a text's last
// "?" anything else belongs to the text. A level it does not know keeps L.
bool ParseOptions(const QString& options, QZXingImageProvider::Request* request) {
  const QUrlQuery query(options);
  const auto items = query.queryItems(QUrl::FullyDecoded);
  if (items.isEmpty()) return false;
  for (const auto& item : items)
    if (!IsOption(item.first)) return false;
  for (const auto& item : items) {
    if (item.first == QLatin1String("format")) {
      // Only QR codes are made.
      if (item.second.compare(QLatin1String("qrcode"), Qt::CaseInsensitive) != 0)
        request->valid = false;
    } else if (!ParseLevel(item.second, &request->level)) {
      qWarning() << "QZXing: unknown correction level" << item.second;
    }
  }
  return true;
}
}  // namespace

QZXingImageProvider::QZXingImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QZXingImageProvider::Request QZXingImageProvider::parse(const QString& id) {
  Request request;
  if (!id.startsWith(kEncodePrefix)) return request;
  request.valid = true;
  QString text = id.mid(kEncodePrefix.size());
  const int mark = text.lastIndexOf(QLatin1Char('?'));
  if (mark >= 0 && ParseOptions(text.mid(mark + 1), &request)) text.truncate(mark);
  request.text = text;
  return request;
}

QImage QZXingImageProvider::requestImage(const QString& id, QSize* size,
                                         const QSize& requestedSize) {
  const Request request = parse(id);
  if (!request.valid) {
    qWarning() << Q_FUNC_INFO << "not an encode request:" << id;
    return QImage();
  }
  const int wanted = qMax(requestedSize.width(), requestedSize.height());
  const QImage code =
      QZXing::encodeQRCode(request.text, request.level, wanted > 0 ? wanted : kDefaultSide);
  if (size) *size = code.size();
  return code;
}
