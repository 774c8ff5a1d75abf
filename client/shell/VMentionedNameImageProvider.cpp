#include "shell/VMentionedNameImageProvider.h"

#include <QApplication>
#include <QDebug>
#include <QFontMetrics>
#include <QPainter>

#include "shell/VGlobal.h"

namespace {
const QColor kChipBackground(245, 246, 247);
const QColor kChipText(51, 51, 51);
constexpr int kChipPixelSize = 18;
// Background left on each side of the text.
constexpr int kChipPadding = 5;
}  // namespace

VMentionedNameImageProvider::VMentionedNameImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Pixmap) {}

QPixmap VMentionedNameImageProvider::requestPixmap(const QString& id, QSize* size,
                                                   const QSize& requestedSize) {
  Q_UNUSED(requestedSize);
  if (id.isEmpty()) return QPixmap();
  const QString text = QLatin1Char('@') + VGlobal::instance()->atName(id);
  QFont font = QApplication::font();
  font.setPixelSize(kChipPixelSize);
  const QFontMetrics metrics(font);
  const QSize chip(metrics.horizontalAdvance(text) + 2 * kChipPadding, metrics.height());
  if (size) *size = chip;
  QPixmap pixmap(chip);
  pixmap.fill(kChipBackground);
  QPainter painter(&pixmap);
  painter.setFont(font);
  painter.setPen(kChipText);
  painter.drawText(QRect(QPoint(0, 0), chip), Qt::AlignHCenter | Qt::AlignTop, text);
  painter.end();
  qDebug() << "mention chip" << chip;
  return pixmap;
}
