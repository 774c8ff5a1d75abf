#include "shell/VMentionedNameImageProvider.h"

VMentionedNameImageProvider::VMentionedNameImageProvider()
    : QQuickImageProvider(QQuickImageProvider::Pixmap) {}

QPixmap VMentionedNameImageProvider::requestPixmap(const QString& id, QSize* size,
                                                   const QSize& requestedSize) {
  Q_UNUSED(id);
  Q_UNUSED(size);
  Q_UNUSED(requestedSize);
  return QPixmap();
}
