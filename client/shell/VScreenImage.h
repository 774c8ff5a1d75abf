#ifndef TESMO_CLIENT_SHELL_VSCREENIMAGE_H
#define TESMO_CLIENT_SHELL_VSCREENIMAGE_H

#include <QQuickPaintedItem>

// Shows the grabbed screen in the screenshot window.
class VScreenImage : public QQuickPaintedItem {
  Q_OBJECT

 public:
  explicit VScreenImage(QQuickItem* parent = nullptr);

  void paint(QPainter* painter) override;
};

#endif
