#include "shell/VScreenImage.h"

VScreenImage::VScreenImage(QQuickItem* parent) : QQuickPaintedItem(parent) {}

void VScreenImage::paint(QPainter* painter) { Q_UNUSED(painter); }
