#include "shell/VFocusReturn.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

VFocusReturn::VFocusReturn(QObject* parent) : QObject(parent) {
  m_lastFocus = QGuiApplication::focusWindow();
  // None when the keyboard went to another program: hiding a window later hands
  // nothing back then.
  connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
          [this](QWindow* window) { m_lastFocus = window; });
  qGuiApp->installEventFilter(this);
}

bool VFocusReturn::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Hide && watched->isWindowType()) {
    auto* window = static_cast<QWindow*>(watched);
    // Only the window that had the keyboard hands it on: one that lost it to
    // another window or program leaves it there. Hiding may have let go of the
    // keyboard already, without a word.
    QWindow* focus = QGuiApplication::focusWindow();
    if (window == focus || (!focus && window == m_lastFocus)) {
      QPointer<QWindow> hidden = window;
      // After the handlers that hid it: the capture shows the main window again
      // only once its own window has gone.
      QTimer::singleShot(0, this, [hidden] { handBack(hidden); });
    }
  }
  return QObject::eventFilter(watched, event);
}

void VFocusReturn::handBack(QWindow* hidden) {
  if (!hidden || hidden->isVisible()) return;
  QWindow* focus = QGuiApplication::focusWindow();
  if (focus && focus != hidden) return;
  QWindow* owner = hidden->transientParent();
  while (owner && !owner->isVisible()) owner = owner->transientParent();
  if (owner) owner->requestActivate();
}
