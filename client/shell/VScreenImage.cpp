#include "shell/VScreenImage.h"

#include <QDebug>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

#include "shell/VClipboard.h"

namespace {

struct SharedState {
  int screenIndex = 0;
  QImage screenImage;
  QImage capturedImage;
};

SharedState& State() {
  static SharedState state;
  return state;
}

}  // namespace

VScreenImage::VScreenImage(QQuickItem* parent) : QQuickPaintedItem(parent) {}

int VScreenImage::validScreenIndex(int index) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.isEmpty()) return -1;
  if (index >= 0 && index < screens.size()) return index;
  const int primary = screens.indexOf(QGuiApplication::primaryScreen());
  return primary >= 0 ? primary : 0;
}

int VScreenImage::currentScreenIndex() { return State().screenIndex; }

void VScreenImage::grab() {
  SharedState& state = State();
  state.screenIndex = validScreenIndex(state.screenIndex);
  if (state.screenIndex < 0) {
    state.screenImage = QImage();
    return;
  }
  QScreen* screen = QGuiApplication::screens().at(state.screenIndex);
  const QRect geometry = screen->geometry();
  qDebug() << Q_FUNC_INFO << "ratio" << screen->devicePixelRatio() << "geometry" << geometry
           << "available" << screen->availableGeometry();
  // Window 0 is the desktop: the rectangle is in desktop coordinates.
  state.screenImage =
      screen->grabWindow(0, geometry.x(), geometry.y(), geometry.width(), geometry.height())
          .toImage();
}

void VScreenImage::updateScreenImage(int screenIndex) {
  if (screenIndex > -1) State().screenIndex = screenIndex;
  grab();
  update();
}

void VScreenImage::setCurrentScreenIndex(int screenIndex) {
  State().screenIndex = screenIndex;
  grab();
  update();
}

QRect VScreenImage::positionScreenGeometry(int posX, int posY) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  QRect geometry;
  int chosen = -1;
  for (int i = 0; i < screens.size(); ++i) {
    geometry = screens.at(i)->geometry();
    chosen = i;
    if (geometry.contains(posX, posY)) break;
  }
  if (chosen < 0) return QRect();
  State().screenIndex = chosen;
  grab();
  update();
  return geometry;
}

void VScreenImage::paint(QPainter* painter) {
  painter->save();
  painter->drawImage(boundingRect(), State().screenImage);
  painter->restore();
}

QList<int> VScreenImage::pixelRgb(int posX, int posY) const {
  const QImage& image = State().screenImage;
  if (!image.valid(posX, posY)) return {0, 0, 0};
  const QRgb rgb = image.pixel(posX, posY);
  return {qRed(rgb), qGreen(rgb), qBlue(rgb)};
}

bool VScreenImage::capture(const QRect& rect) {
  SharedState& state = State();
  const int index = validScreenIndex(state.screenIndex);
  const qreal ratio = index < 0 ? 1.0 : QGuiApplication::screens().at(index)->devicePixelRatio();
  // Logical to device pixels, each product truncated toward zero.
  const QRect target(static_cast<int>(rect.x() * ratio), static_cast<int>(rect.y() * ratio),
                     static_cast<int>(rect.width() * ratio),
                     static_cast<int>(rect.height() * ratio));
  qDebug() << Q_FUNC_INFO << "ratio" << ratio << "target" << target;
  state.capturedImage =
      state.screenImage.isNull() || target.isEmpty() ? QImage() : state.screenImage.copy(target);
  if (state.capturedImage.isNull()) return false;
  VClipboard::instance()->setImage(state.capturedImage);
  return true;
}

QString VScreenImage::captureConfirmed() {
  return VClipboard::instance()->saveImageToTempDir(State().capturedImage);
}

QImage VScreenImage::capturedImage() { return State().capturedImage; }

void VScreenImage::setScreenImage(const QImage& image) { State().screenImage = image; }
