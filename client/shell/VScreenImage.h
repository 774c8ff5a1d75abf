#ifndef TESMO_CLIENT_SHELL_VSCREENIMAGE_H
#define TESMO_CLIENT_SHELL_VSCREENIMAGE_H

#include <QImage>
#include <QList>
#include <QQuickPaintedItem>
#include <QRect>
#include <QString>

// The screenshot window's background: grabs a screen, paints the grab, reports pixel
// colours for the magnifier, crops the selection in device pixels, and hands the
// crop to the clipboard and to a temporary picture. The screen index, the grab and
// the last crop are shared by every instance (main thread only).
class VScreenImage : public QQuickPaintedItem {
  Q_OBJECT

 public:
  explicit VScreenImage(QQuickItem* parent = nullptr);

  Q_INVOKABLE void updateScreenImage(int screenIndex = -1);
  Q_INVOKABLE void setCurrentScreenIndex(int screenIndex);
  Q_INVOKABLE bool capture(const QRect& rect);
  Q_INVOKABLE QList<int> pixelRgb(int posX, int posY) const;
  Q_INVOKABLE QString captureConfirmed();
  Q_INVOKABLE QRect positionScreenGeometry(int posX, int posY);

  void paint(QPainter* painter) override;

  // A copy of the last crop (the save dialog writes it).
  static QImage capturedImage();
  // Replaces the grab, for a caller that grabbed by other means (and for tests).
  static void setScreenImage(const QImage& image);
  static int currentScreenIndex();

 private:
  // The screen index clamped to the screens there are: out of range means the
  // primary screen; -1 when there is no screen at all.
  static int validScreenIndex(int index);
  static void grab();
};

#endif
